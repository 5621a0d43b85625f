#include "platform/sim/simservices.h"

#include <algorithm>

namespace zenrun {

SimServices::SimServices() {
    host_.imageName = QStringLiteral("xl2tpd");
    host_.marker = QStringLiteral("/run/zenrun/xl2tpd.conf");
    host_.services = {QStringLiteral("zenrun-xl2tpd")};
    host_.installed = true;
}

std::vector<Services::Process> SimServices::processes() {
    calls_ << QStringLiteral("processes");
    std::vector<Process> out;
    for (const Entry& e : listed_) out.push_back(e.process);
    return out;
}

QString SimServices::commandLine(qint64 pid) {
    calls_ << QStringLiteral("commandLine %1").arg(pid);
    for (const Entry& e : listed_)
        if (e.process.pid == pid) return e.commandLine;
    return {};
}

void SimServices::terminate(qint64 pid) {
    calls_ << QStringLiteral("terminate %1").arg(pid);
    listed_.erase(std::remove_if(listed_.begin(), listed_.end(),
                                 [pid](const Entry& e) { return e.process.pid == pid; }),
                  listed_.end());
}

void SimServices::startService(const QString& name) {
    calls_ << QStringLiteral("start ") + name;
    auto it = comesBack_.find(name);
    if (it != comesBack_.end() && !running(it->second.process.pid)) listed_.push_back(it->second);
}

void SimServices::addProcess(qint64 pid, const QString& imageName, const QString& commandLine) {
    listed_.push_back({{pid, imageName}, commandLine});
}

void SimServices::setServiceProcess(const QString& service, qint64 pid, const QString& imageName,
                                    const QString& commandLine) {
    comesBack_[service] = {{pid, imageName}, commandLine};
}

bool SimServices::running(qint64 pid) const {
    return std::any_of(listed_.begin(), listed_.end(),
                       [pid](const Entry& e) { return e.process.pid == pid; });
}

}  // namespace zenrun
