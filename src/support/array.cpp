#include "support/array.h"

namespace array_detail {

void throw_bad_alloc() {
    throw std::bad_alloc();
}

} // namespace array_detail
