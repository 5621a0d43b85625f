// A stand-in for xl2tpd: takes the same command line (-D -c CONFIG -s SECRETS -p PIDFILE
// -C CONTROL), records it and the configuration for the test, writes its pid file and control
// FIFO, and for every [lac NAME] section with "autodial = yes" starts pppd the way xl2tpd does:
// "passive nodetach : file PPPOPTFILE ipparam LNS". The pppd it starts is the program named by
// STANDIN_XL2TPD_PPPD. On SIGTERM it ends its pppd children and its files and exits.
//   STANDIN_XL2TPD_RECORD  file to write "argv\t<arg>" and "conf\t<line>" lines to

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

volatile sig_atomic_t stopSignal = 0;
void onSignal(int sig) {
    stopSignal = sig;
}

std::string trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r");
    const size_t b = s.find_last_not_of(" \t\r");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

}  // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> flags;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.size() == 2 && a[0] == '-' && a != "-D" && a != "-l" && i + 1 < argc)
            flags[a] = argv[++i];
    }
    std::ifstream conf(flags["-c"]);
    if (!conf) {
        std::fprintf(stderr, "standin xl2tpd: no configuration\n");
        return 1;
    }
    struct Lac {
        std::string name, lns, options;
        bool autodial = false;
    };
    std::vector<Lac> lacs;
    std::vector<std::string> lines;
    for (std::string line; std::getline(conf, line);) {
        lines.push_back(line);
        line = trim(line);
        if (line.rfind("[lac ", 0) == 0) {
            lacs.push_back({trim(line.substr(5, line.size() - 6)), "", "", false});
            continue;
        }
        const size_t eq = line.find('=');
        if (lacs.empty() || eq == std::string::npos) continue;
        const std::string key = trim(line.substr(0, eq)), value = trim(line.substr(eq + 1));
        if (key == "lns") lacs.back().lns = value;
        if (key == "pppoptfile") lacs.back().options = value;
        if (key == "autodial") lacs.back().autodial = value == "yes";
    }
    if (const char* rec = std::getenv("STANDIN_XL2TPD_RECORD")) {
        std::ofstream out(rec);
        for (int i = 0; i < argc; ++i) out << "argv\t" << argv[i] << '\n';
        for (const std::string& l : lines) out << "conf\t" << l << '\n';
    }
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);

    if (!flags["-p"].empty()) std::ofstream(flags["-p"]) << getpid() << '\n';
    if (!flags["-C"].empty()) mkfifo(flags["-C"].c_str(), 0600);

    const char* pppd = std::getenv("STANDIN_XL2TPD_PPPD");
    std::vector<pid_t> children;
    for (const Lac& lac : lacs) {
        if (!lac.autodial || !pppd) continue;
        const pid_t child = fork();
        if (child == 0) {
            execl(pppd, pppd, "passive", "nodetach", ":", "file", lac.options.c_str(), "ipparam",
                  lac.lns.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        if (child > 0) children.push_back(child);
    }
    while (!stopSignal) {
        // Like xl2tpd, it outlives the calls it carried.
        while (waitpid(-1, nullptr, WNOHANG) > 0) {
        }
        usleep(50000);
    }
    for (const pid_t c : children) kill(c, SIGTERM);
    for (int i = 0; i < 40; ++i) {
        while (waitpid(-1, nullptr, WNOHANG) > 0) {
        }
        bool any = false;
        for (const pid_t c : children) any = any || kill(c, 0) == 0;
        if (!any) break;
        usleep(50000);
    }
    if (!flags["-p"].empty()) unlink(flags["-p"].c_str());
    if (!flags["-C"].empty()) unlink(flags["-C"].c_str());
    return 0;
}
