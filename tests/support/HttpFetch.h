#pragma once
// A THttpCli GET that collects what the tests look at: the body, whether the request
// ended and with which error. Header-only; the caller runs the loop.
#include <cstddef>
#include <string>

#include "net/HttpCli.h"

struct THttpFetch {
    std::string body;
    int done = 0;
    int error = -1;

    // Connects the client's events to this record and starts the request.
    void Start(THttpCli& cli) {
        cli.OnDocData = [this](THttpCli&, const char* data, std::size_t n) { body.append(data, n); };
        cli.OnRequestDone = [this](THttpCli&, int e) {
            ++done;
            error = e;
        };
        cli.GetASync();
    }
};
