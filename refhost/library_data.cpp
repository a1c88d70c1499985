#include "refhost/library_data.h"

#include <utility>

namespace refhost {

std::uint32_t library_data::add_track(track_data track, bool in_library) {
    const auto index = static_cast<std::uint32_t>(tracks.size());
    tracks.push_back(std::move(track));
    if (in_library) {
        library.push_back(index);
    }
    return index;
}

std::uint32_t library_data::find_track(const std::string& path) const {
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        if (tracks[i].path == path) {
            return static_cast<std::uint32_t>(i);
        }
    }
    return UINT32_MAX;
}

void add_meta_value(track_data& track, const std::string& name, const std::string& value) {
    for (meta_field_data& field : track.meta) {
        if (field.name == name) {
            field.values.push_back(value);
            return;
        }
    }
    track.meta.push_back(meta_field_data{name, {value}});
}

} // namespace refhost
