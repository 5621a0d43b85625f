#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/textutil.h"

// Browser clean-up for line rotation: the desktop user's cookies and cache of Firefox and the
// Chromium family. Only the exact files and folders listed here are ever touched, and nothing
// is reached through a symbolic link, so a crafted link cannot steer a client running as root
// elsewhere. README.md ("Browser clean-up") carries the same list for users.

namespace zenrun {

namespace {

struct BrowserRoots {
    const char* profiles;  // folder of the profiles, relative to the home folder
    const char* cache;     // folder of the per-profile caches, relative to the home folder
};

constexpr BrowserRoots kFirefox[] = {
    {".mozilla/firefox", ".cache/mozilla/firefox"},
    {"snap/firefox/common/.mozilla/firefox", "snap/firefox/common/.cache/mozilla/firefox"},
    {".var/app/org.mozilla.firefox/.mozilla/firefox",
     ".var/app/org.mozilla.firefox/cache/mozilla/firefox"},
};

constexpr BrowserRoots kChromium[] = {
    {".config/google-chrome", ".cache/google-chrome"},
    {".config/google-chrome-beta", ".cache/google-chrome-beta"},
    {".config/google-chrome-unstable", ".cache/google-chrome-unstable"},
    {".config/chromium", ".cache/chromium"},
    {".config/BraveSoftware/Brave-Browser", ".cache/BraveSoftware/Brave-Browser"},
    {".config/microsoft-edge", ".cache/microsoft-edge"},
    {".config/microsoft-edge-beta", ".cache/microsoft-edge-beta"},
    {".config/microsoft-edge-dev", ".cache/microsoft-edge-dev"},
    {".config/vivaldi", ".cache/vivaldi"},
    {"snap/chromium/common/chromium", "snap/chromium/common/.cache/chromium"},
};

constexpr const char* kFirefoxCookieFiles[] = {"cookies.sqlite", "cookies.sqlite-wal",
                                               "cookies.sqlite-shm", "cookies.sqlite-journal"};
constexpr const char* kChromiumCookieFiles[] = {"Cookies", "Cookies-journal"};
// Chromium keeps its cookies in the profile or, since version 96, in its Network folder.
constexpr const char* kChromiumCookieDirs[] = {"", "Network"};
constexpr const char* kChromiumCacheDirs[] = {"Cache", "Code Cache"};

bool isdir(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink();
}

// home + rel when every folder below home on the way is a real folder, else empty. The home
// folder itself comes from the account database and may be a link; it must be absolute.
QString plainpath(const QString& home, const QString& rel) {
    if (home.isEmpty() || QDir::isRelativePath(home) || !QFileInfo(home).isDir()) return {};
    QString path = QDir::cleanPath(home);
    for (const QString& part : rel.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
        path += part;
        if (!isdir(path)) return {};
    }
    return path;
}

QStringList subdirs(const QString& dir) {
    QStringList out;
    if (dir.isEmpty()) return out;
    const QDir d(dir);
    for (const QString& name : d.entryList(
             QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name))
        out.append(d.filePath(name));
    return out;
}

// Chromium's profile folders: "Default", "Profile 1" ..., and the guest and system profiles.
QStringList chromiumprofiles(const QString& root) {
    QStringList out;
    for (const QString& dir : subdirs(root)) {
        const QString name = QFileInfo(dir).fileName();
        if (name == QLatin1String("Default") || name == QLatin1String("Guest Profile") ||
            name == QLatin1String("System Profile") || name.startsWith(QLatin1String("Profile ")))
            out.append(dir);
    }
    return out;
}

QString child(const QString& dir, const char* name) {
    if (*name == '\0') return dir;
    const QString path = dir + QLatin1Char('/') + QLatin1String(name);
    return isdir(path) ? path : QString();
}

struct CookieFolder {
    QString dir;
    bool firefox;
};

QList<CookieFolder> cookiefolders(const QString& home) {
    QList<CookieFolder> out;
    for (const BrowserRoots& b : kFirefox)
        for (const QString& profile : subdirs(plainpath(home, QLatin1String(b.profiles))))
            out.append({profile, true});
    for (const BrowserRoots& b : kChromium)
        for (const QString& profile : chromiumprofiles(plainpath(home, QLatin1String(b.profiles))))
            for (const char* sub : kChromiumCookieDirs)
                if (const QString dir = child(profile, sub); !dir.isEmpty())
                    out.append({dir, false});
    return out;
}

QStringList cachefolders(const QString& home) {
    QStringList out;
    for (const BrowserRoots& b : kFirefox)
        for (const QString& profile : subdirs(plainpath(home, QLatin1String(b.cache))))
            if (const QString dir = child(profile, "cache2"); !dir.isEmpty()) out.append(dir);
    for (const BrowserRoots& b : kChromium)
        for (const QString& profile : chromiumprofiles(plainpath(home, QLatin1String(b.cache))))
            for (const char* sub : kChromiumCacheDirs)
                if (const QString dir = child(profile, sub); !dir.isEmpty()) out.append(dir);
    return out;
}

// Empties a folder but keeps it, so a running browser still finds where to write.
// QDir::removeRecursively removes links it meets, never what they point to.
void emptyfolder(const QString& dir) {
    const QDir d(dir);
    for (const QFileInfo& info :
         d.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (info.isDir() && !info.isSymLink())
            QDir(info.filePath()).removeRecursively();
        else
            QFile::remove(info.filePath());
    }
}

}  // namespace

QStringList getcookiedir(const QString& home) {
    QStringList out;
    for (const CookieFolder& f : cookiefolders(home)) out.append(f.dir);
    return out;
}

bool deletefiles(const QString& pattern) {
    const QFileInfo where(pattern);
    const QDir dir = where.dir();
    if (where.fileName().isEmpty() || !isdir(dir.path())) return false;
    bool ok = true;
    for (const QFileInfo& info : dir.entryInfoList(
             {where.fileName()}, QDir::Files | QDir::Hidden | QDir::System | QDir::CaseSensitive)) {
        if (info.isDir() && !info.isSymLink()) continue;
        ok = QFile::remove(info.filePath()) && ok;
    }
    return ok;
}

void clearcookies(const QString& home) {
    for (const CookieFolder& f : cookiefolders(home)) {
        if (f.firefox) {
            for (const char* name : kFirefoxCookieFiles)
                deletefiles(f.dir + QLatin1Char('/') + QLatin1String(name));
        } else {
            for (const char* name : kChromiumCookieFiles)
                deletefiles(f.dir + QLatin1Char('/') + QLatin1String(name));
        }
    }
}

void clearcache(const QString& home) {
    for (const QString& dir : cachefolders(home)) emptyfolder(dir);
}

}  // namespace zenrun
