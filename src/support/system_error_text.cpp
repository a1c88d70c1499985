#include "support/system_error_text.h"

#include "support/number_text.h"
#include "support/shared_api.h"

string8 system_error_text(std::uint32_t code) {
    string8 text;
    if (uFormatSystemErrorMessage(text, code) != 0) {
        return text;
    }
    text += "Unknown error code (";
    text += decimal_text(code).chars();
    text += ")";
    return text;
}
