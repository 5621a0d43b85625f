// zenrun-backend: the reference back-end of the Zenrun client.
//
//   zenrun-backend --listen HOST:PORT [--listen HOST:PORT ...] --data FILE --db FILE
//                  [--fault PATH=SPEC ...]
//
// Prints "zenrun-backend: listening on HOST:PORT" for every listener once it accepts
// connections (a port of 0 picks a free one), then serves until SIGINT or SIGTERM.

#include <pthread.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <thread>

#include "server/datafile.h"
#include "server/faults.h"
#include "server/httpfront.h"
#include "server/service.h"
#include "server/store.h"

using namespace zenrun::server;

namespace {

constexpr char kUsage[] =
    "usage: zenrun-backend --listen HOST:PORT [--listen HOST:PORT ...] --data FILE --db FILE "
    "[--fault PATH=SPEC ...]\n"
    "  SPEC: stall:MS | empty | bytes:TEXT | hex:HEX | close | status:CODE\n";

int usage(const std::string& why) {
    std::cerr << "zenrun-backend: " << why << "\n" << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<Listen> listens;
    std::string dataPath, dbPath;
    Faults faults;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (!hasValue) return usage("missing value after " + arg);
        const std::string value = argv[++i];
        if (arg == "--listen") {
            Listen l;
            if (!parselisten(value, l)) return usage("bad address " + value);
            listens.push_back(l);
        } else if (arg == "--data") {
            dataPath = value;
        } else if (arg == "--db") {
            dbPath = value;
        } else if (arg == "--fault") {
            if (!faults.setfromarg(value)) return usage("bad fault " + value);
        } else {
            return usage("unknown option " + arg);
        }
    }
    if (listens.empty()) return usage("no --listen given");
    if (dataPath.empty() || dbPath.empty()) return usage("--data and --db are required");

    // Signals are taken by one thread with sigwait; block them before any other thread
    // starts so that none of them is interrupted.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    try {
        Store store(dbPath);
        Service service(loaddata(dataPath), store);
        HttpFront front(service, faults);
        std::string error;
        if (!front.bind(listens, error)) {
            std::cerr << "zenrun-backend: " << error << "\n";
            return 1;
        }
        for (const std::string& b : front.bound())
            std::cout << "zenrun-backend: listening on " << b << std::endl;
        std::atomic<bool> done{false};
        std::thread stopper([&] {
            int sig = 0;
            sigwait(&stopSignals, &sig);
            // A listener that had not begun to listen yet misses a stop; repeat until
            // every listener has returned.
            while (!done) {
                front.stop();
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        });
        front.run();
        done = true;
        // When the listeners ended on their own, wake the signal thread.
        pthread_kill(stopper.native_handle(), SIGTERM);
        stopper.join();
    } catch (const std::exception& e) {
        std::cerr << "zenrun-backend: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
