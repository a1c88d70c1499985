#include "engine/metadata_cache_lock.h"

#include "host/host_guard.h"
#include "host/service_lookup.h"

metadata_cache_lock::metadata_cache_lock()
    : m_cache(lookup_single<metadata_cache>(guids::metadata_cache)) {
    // Should acquire_lock fail, the member gives the service back.
    guarded_host_calls([&] { m_cache->acquire_lock(); });
}

metadata_cache_lock::~metadata_cache_lock() {
    guarded_host_calls([&] { m_cache->release_lock(); });
}
