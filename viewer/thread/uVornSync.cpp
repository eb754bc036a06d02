#include "viewer/thread/uVornSync.h"

#include "viewer/thread/uVornErrors.h"
#include "viewer/thread/uVornProcess.h"

void TVornSignal::Wait(TVornProcess& process, int timeout) {
  switch (VornWaitAny({&FHandle, &process.FTermination}, timeout)) {
    case 0:
      AfterWait();
      return;
    case 1:
      throw EVornPrematureTermination();
    default:
      throw EVornTimeout();
  }
}
