#pragma once
// The thread library: processes with cooperative termination, the objects
// they wait on, channels between them and the theater that registers them.
#include "viewer/thread/uVornChannel.h"
#include "viewer/thread/uVornErrors.h"
#include "viewer/thread/uVornHandle.h"
#include "viewer/thread/uVornProcess.h"
#include "viewer/thread/uVornSync.h"
#include "viewer/thread/uVornTheater.h"
