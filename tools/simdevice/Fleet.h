// Many devices at once (--count N --link-prefix PATH): one process per device,
// each a SimulatedDevice behind the link PATH1 ... PATHN, and this process
// over them. Once every device is ready it prints a plan for them on
// standard output, so a bench of N devices and its plan are one command:
//
//     port,auth,pin
//     PATH1,on,random
//     ...
//
// The devices' own messages go to standard error (or --log FILE). The fleet
// ends every device, and removes the links it made, on SIGTERM, SIGINT or
// SIGHUP, and when the process that started it ends: a script or a test
// that forgets it leaves nothing behind.
#pragma once

#include "Options.h"

// Runs the fleet until a stop signal or its parent's end. Returns the exit
// status: 0 after a stop, 1 when a device could not start or ended early.
int RunFleet(const Options& options);
