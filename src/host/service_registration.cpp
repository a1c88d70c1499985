// The component's two services, registered while the library's static objects
// are constructed. Both factories live in this one file so that their order is
// fixed: the version record is constructed first and the main-menu provider
// second, and as each links itself at the head, the chain reads main-menu,
// then component version.
#include "host/componentversion_impl_simple.h"
#include "host/mainmenu_commands_poolscope.h"

namespace {

const char component_name_text[] = "Metadata Cache Statistics";
const char component_version_text[] = "1.2";
const char component_about_text[] =
    "Display information about the metadata cache.\n"
    "The displayed data is computed from the contents of the media library and the open "
    "playlists.\n"
    "There is no API to retrieve it directly from the core, so the displayed values should not "
    "be regarded as absolute truth.\n"
    "This is especially true for the estimated memory usage.";

componentversion_impl_simple_factory
    g_componentversion_factory(component_name_text, component_version_text, component_about_text);
mainmenu_commands_factory_t<mainmenu_commands_poolscope> g_mainmenu_commands_factory;

} // namespace
