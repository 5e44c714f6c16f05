#pragma once
// COM set-up of the process's main thread. Called once at start-up, before any
// window exists, and once at the end; main thread only.
class ComRuntime {
public:
    virtual ~ComRuntime() = default;
    // Joins the calling thread to the multithreaded apartment. False when COM
    // refuses (the thread is already in another apartment, for example).
    virtual bool InitializeMultithreaded() = 0;
    // Sets the process-wide COM security: COM chooses the authentication services,
    // packet privacy, impersonation allowed. False when refused (already set).
    virtual bool InitializeSecurity() = 0;
    // Leaves the apartment joined by InitializeMultithreaded.
    virtual void Uninitialize() = 0;
};

#ifdef _WIN32
// The Win32 implementation; one instance per process.
ComRuntime& WindowsComRuntime();
#endif
