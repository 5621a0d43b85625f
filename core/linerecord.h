#pragma once

#include <QString>
#include <memory>

namespace zenrun {

// Per-node record of the line list: one VPN server of an area.
struct ps {
    QString ip;          // decoded server address
    QString name;        // line name (the key in the line list)
    QString delay;       // latency in ms as text, "NA" until measured
    QString lostpacket;  // kept for the record's layout; never filled
    QString sendtimes;   // kept for the record's layout; never filled
    qint32 losttimes = 0;
    QString onlinerate;
    QString l2tpstatus;  // "yes"/"-" or "支持"/"不支持"
    QString marknum;     // line type code
};

// A node of the line list. Shared, so that the line in use survives a refill of the list.
using LineNode = std::shared_ptr<ps>;

}  // namespace zenrun
