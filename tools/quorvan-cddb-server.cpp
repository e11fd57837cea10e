// A CDDB server on loopback for demonstrations: serves the xmcd records of a
// folder (<category>/<discid> files) until interrupted.
//
//     quorvan-cddb-server [--port N] [--silent|--close-early|--slow] [DATA_DIR]
//     QUORVAN_CDDB_SERVER=127.0.0.1:N QUORVAN_CDROM_TOC=disc.toc quorvan-cli cd-names
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "support/local_cddb_server.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnSignal(int) {
    stopRequested = 1;
}

int Usage() {
    fputs("Usage: quorvan-cddb-server [--port N] [--silent|--close-early|--slow] [DATA_DIR]\n",
          stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using quorvan::test::CLocalCddbServer;
    std::string dataDir = std::string(QUORVAN_TEST_DATA) + "/cddb/server";
    int port = 0;
    CLocalCddbServer::Behaviour behaviour = CLocalCddbServer::Behaviour::Answer;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--port" && i + 1 < argc) {
            port = atoi(argv[++i]);
        } else if (arg == "--silent") {
            behaviour = CLocalCddbServer::Behaviour::Silent;
        } else if (arg == "--close-early") {
            behaviour = CLocalCddbServer::Behaviour::CloseEarly;
        } else if (arg == "--slow") {
            behaviour = CLocalCddbServer::Behaviour::Slow;
        } else if (arg == "--help" || arg == "-h") {
            Usage();
            return 0;
        } else if (!arg.empty() && arg[0] != '-') {
            dataDir = arg;
        } else {
            return Usage();
        }
    }
    CLocalCddbServer server(dataDir);
    server.SetBehaviour(behaviour);
    if (!server.Start(port)) {
        perror("quorvan-cddb-server: cannot listen");
        return 1;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    printf("listening on %s, records from %s\n", server.Address().c_str(), dataDir.c_str());
    fflush(stdout);
    while (!stopRequested) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    server.Stop();
    return 0;
}
