// Built into the program the signed-update tests run, in place of the
// configured key: it takes only updates signed with the local site's test key.
#include "update/signature_check.h"

namespace update {

extern const std::string_view kUpdatePublicKey = LYRIMARK_TEST_UPDATE_KEY;

}  // namespace update
