#pragma once

#include <QByteArray>
#include <QString>
#include <map>
#include <optional>
#include <string>

#include "server/datafile.h"
#include "server/store.h"

namespace zenrun::server {

// Fixed tokens of the protocol.
inline constexpr char kAcceptToken[] = "a91e7d02kb6wq3f5e80d4c17b9f2ea06";
inline constexpr char kSeparatorA[] = "5d3c9b27f0e61a48d9b5c03e7a2f6d19";
inline constexpr char kSeparatorB[] = "5d3c9b27f0e61a48d9b5c03e7a2f6d18";
inline constexpr char kOverLimitToken[] = "7f1c04e9ab3d58c26e90f7a41b8d3c65";

// Decoded parameters of a query string or a form body. The first occurrence of a name
// wins, so a value can never be overridden by a later parameter.
using Params = std::map<std::string, QString>;
// Splits "a=1&&b=2" at '&' (empty parts skipped), decodes "%XX" and '+' and reads the
// bytes in the back-end's code page.
Params parseparams(const std::string& text);

struct Reply {
    int status = 200;
    QByteArray body;  // already in the wire's code page
    std::string type = "text/plain; charset=GBK";
};

// Every endpoint of the catalogue and the pages, without any HTTP plumbing.
class Service {
  public:
    Service(Data data, Store& store);

    // Nothing when the path (or the method for it) is not served.
    std::optional<Reply> handle(const std::string& method, const std::string& path,
                                const Params& query, const Params& form, const std::string& peer);
    Store& store() { return store_; }

  private:
    Reply probe(const std::string& peer) const;
    Reply login(Lang lang, const Params& form);
    Reply linelist(Lang lang, const Params& query);
    Reply routelist(Lang lang) const;
    Reply ipcheck(const Params& form);
    Reply status(const Params& form);
    Reply passsave(const Params& form, const std::string& peer);
    Reply registration(const Params& form, const std::string& peer);
    std::optional<Reply> page(const std::string& path) const;
    // The account, when `password` is its password.
    std::optional<Store::Account> signin(const QString& user, const QString& password);
    QString dialuserfor(const QString& user) const;

    Data data_;
    Store& store_;
};

}  // namespace zenrun::server
