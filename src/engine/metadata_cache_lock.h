// The metadata-cache lock held for one computation: every pointer into the
// host's cached metadata is valid only while an object of this class lives.
#pragma once

#include "host/host_interfaces.h"
#include "host/service_ptr.h"

class metadata_cache_lock {
public:
    // Looks up the metadata_cache service (raising the lookup errors) and
    // takes its lock.
    metadata_cache_lock();
    // Releases the lock, then the service reference.
    ~metadata_cache_lock();
    metadata_cache_lock(const metadata_cache_lock&) = delete;
    metadata_cache_lock& operator=(const metadata_cache_lock&) = delete;

private:
    service_ptr_t<metadata_cache> m_cache;
};
