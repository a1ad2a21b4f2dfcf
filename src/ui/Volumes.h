#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The "drives" of this desktop: mounted volumes that hold real files.
namespace Volumes {

// Root paths of the mounted volumes a user may browse, "/" first: those of
// MountedVolumes over this process's mount table, for folders that exist.
QStringList RealVolumes();

// The mount points a user would choose among, from the text of a
// /proc/self/mountinfo: each file system once, at its shortest mount point.
// Left out are pseudo file systems (proc, sysfs, cgroups, ...), the system's
// own places (/proc, /sys, /dev, /run but /run/media) and bind mounts, which
// show part of a file system already listed or a single file.
QStringList MountedVolumes(const QByteArray& mountinfo);

// The root, among `roots`, of the volume that holds `path` ("the drive of a
// path"); "/" when none holds it.
QString RootOf(const QString& path, const QStringList& roots);

}  // namespace Volumes
