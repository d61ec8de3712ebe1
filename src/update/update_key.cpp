// In a file of its own, so a test build can link the program with a key of its own instead.
#include "lyrimark/config.h"
#include "update/signature_check.h"

namespace update {

extern const std::string_view kUpdatePublicKey = LYRIMARK_UPDATE_PUBLIC_KEY;

}  // namespace update
