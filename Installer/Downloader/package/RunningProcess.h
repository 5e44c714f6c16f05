#pragma once
// A started program (the setup package) that the installer waits for.
class TRunningProcess {
public:
    virtual ~TRunningProcess() = default;
    virtual bool Running() = 0;
};
