// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/device_arrival_watch.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>
#endif

namespace {

const QString devFolder = QStringLiteral("/dev");
const QString byIdFolder = QStringLiteral("/dev/serial/by-id");

#ifdef Q_OS_LINUX
// udev sets the owner and mode after making the node: either may be when it
// can first be opened.
constexpr uint32_t arrivalEvents = IN_CREATE | IN_MOVED_TO | IN_ATTRIB;
constexpr uint32_t wantedMask = arrivalEvents | IN_ONLYDIR;
constexpr uint32_t pathMask = IN_CREATE | IN_MOVED_TO | IN_ONLYDIR;
// Enough for several events at once, and at least one with the longest name.
constexpr size_t bufferSize = 4096;
static_assert(bufferSize >= sizeof(inotify_event) + NAME_MAX + 1);
// A flood waits for the next wake-up rather than holding up the event loop.
constexpr int readsPerWake = 16;

// /dev changes with every disk, loop device and sound card.
bool mayServe(QByteArrayView name)
{
    return name.startsWith("tty") || name.startsWith("serial") || name.startsWith("rfcomm");
}
#endif

} // namespace

DeviceArrivalWatch::DeviceArrivalWatch(QObject *parent) : QObject(parent) {}

DeviceArrivalWatch::~DeviceArrivalWatch()
{
    stop();
}

void DeviceArrivalWatch::start(const QString &deviceHint)
{
    stop();
#ifdef Q_OS_LINUX
    wantedFolders = {devFolder, byIdFolder};
    if (QDir::isAbsolutePath(deviceHint)) {
        const QString folder = QFileInfo(QDir::cleanPath(deviceHint)).path();
        if (!wantedFolders.contains(folder))
            wantedFolders.append(folder);
    }
    fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0)
        return;
    watchFolders();
    if (watches.isEmpty()) {
        stop();
        return;
    }
    notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &DeviceArrivalWatch::readEvents);
#else
    Q_UNUSED(deviceHint);
#endif
}

void DeviceArrivalWatch::stop()
{
    // Safe from a slot of our own signal: Qt 6 lets a notifier be deleted
    // while it delivers.
    delete notifier;
    notifier = nullptr;
#ifdef Q_OS_LINUX
    if (fd >= 0)
        ::close(fd); // lets go of every watch with it
#endif
    fd = -1;
    watches.clear();
    wantedFolders.clear();
    missingFolders = false;
}

bool DeviceArrivalWatch::notifies() const
{
    return notifier != nullptr;
}

// Watches each wanted folder, or for one missing the nearest parent there
// is; returns whether a wanted folder is watched that was not before.
bool DeviceArrivalWatch::watchFolders()
{
    bool added = false;
#ifdef Q_OS_LINUX
    QHash<int, Watched> now;
    missingFolders = false;
    for (const QString &wanted : std::as_const(wantedFolders)) {
        for (QString folder = wanted;; folder = QFileInfo(folder).path()) {
            const bool isWanted = wantedFolders.contains(folder);
            const int wd = inotify_add_watch(fd, QFile::encodeName(folder).constData(),
                                             isWanted ? wantedMask : pathMask);
            if (wd >= 0) {
                now.insert(wd, Watched{folder, isWanted});
                // The same folder keeps its watch; one made again gets a new one.
                if (folder == wanted && watches.value(wd).folder != folder)
                    added = true;
                break;
            }
            missingFolders = true;
            if ((errno != ENOENT && errno != ENOTDIR) || folder == QLatin1String("/"))
                break;
        }
    }
    for (auto it = watches.cbegin(); it != watches.cend(); ++it) {
        if (!now.contains(it.key()))
            inotify_rm_watch(fd, it.key());
    }
    watches = now;
#endif
    return added;
}

void DeviceArrivalWatch::readEvents()
{
#ifdef Q_OS_LINUX
    alignas(inotify_event) char buffer[bufferSize];
    bool arrived = false;
    bool foldersChanged = false;
    for (int reads = 0; reads < readsPerWake; ++reads) {
        const ssize_t length = ::read(fd, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            break;
        inotify_event event;
        for (ssize_t at = 0; at + ssize_t(sizeof event) <= length;
             at += ssize_t(sizeof event + event.len)) {
            std::memcpy(&event, buffer + at, sizeof event);
            if (at + ssize_t(sizeof event + event.len) > length)
                break; // the kernel never splits an event; no reading past the end
            if (event.mask & IN_Q_OVERFLOW) {
                // Whatever was lost may have been an arrival or a folder going.
                arrived = foldersChanged = true;
                continue;
            }
            const auto found = watches.constFind(event.wd);
            if (found == watches.cend())
                continue; // a watch let go of already
            if (event.mask & IN_IGNORED) {
                foldersChanged = true;
                continue;
            }
            if (missingFolders && (event.mask & IN_ISDIR))
                foldersChanged = true;
            if (!found->wanted || event.len == 0 || !(event.mask & arrivalEvents))
                continue;
            const char *name = buffer + at + sizeof event;
            const QByteArrayView entry(name, qsizetype(qstrnlen(name, event.len)));
            if (found->folder != devFolder || mayServe(entry))
                arrived = true;
        }
    }
    // A folder that has just appeared may have its device in it already.
    if (foldersChanged && watchFolders())
        arrived = true;
    if (arrived)
        emit devicesMayHaveArrived();
#endif
}
