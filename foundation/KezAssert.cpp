#include "foundation/KezAssert.h"

void KezAssertFailed(const char* module, const char* condition) {
  throw EAssertionFailed(module, condition);
}
