// Placeholders for services whose subsystems are not built yet. They do
// nothing, and answer "nothing there" where a caller needs an answer, so
// that start-up, frames and shutdown already run in their full order.
#include "host/pending_services.h"

namespace vtx::pending {

}  // namespace vtx::pending
