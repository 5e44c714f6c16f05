#pragma once
// COM for the whole process, set up at start-up before any window exists. On
// Windows Vista and later the main thread joins the multithreaded apartment and the
// process-wide COM security is set (packet privacy, impersonation), as the Task
// Scheduler's second interface generation needs; COM is left again when the object
// goes, at process end. Earlier systems get an object that does nothing.
//
// Because this runs before anything else initialises COM, later attempts on the
// main thread to enter a single-threaded apartment fail (RPC_E_CHANGED_MODE); their
// callers ignore that. Failures only clear Succeeded(); nothing is reported.
// Main thread only; create one per process.
#include "os/Com.h"
#include "os/SystemEnvironment.h"

class TTaskSchedulerSupport {
public:
    // Version 2 on Windows NT 6.0 and later (the version the system reports).
    TTaskSchedulerSupport(ComRuntime& com, const WindowsVersion& version);
    ~TTaskSchedulerSupport();
    TTaskSchedulerSupport(const TTaskSchedulerSupport&) = delete;
    TTaskSchedulerSupport& operator=(const TTaskSchedulerSupport&) = delete;

    int Generation() const { return FGeneration; }
    // Both the apartment and the security were set up (generation 2).
    bool Succeeded() const { return FSucceeded; }

private:
    ComRuntime& FCom;
    int FGeneration;
    bool FInitialized = false;
    bool FSucceeded = false;
};
