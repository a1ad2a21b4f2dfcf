#pragma once

#include <QString>
#include <QStringList>

// The "drives" of this desktop: mounted volumes that hold real files.
namespace Volumes {

// Root paths of the mounted volumes a user may browse, "/" first; pseudo file
// systems (proc, sysfs, cgroups, ...) are left out.
QStringList RealVolumes();

// The root, among `roots`, of the volume that holds `path` ("the drive of a
// path"); "/" when none holds it.
QString RootOf(const QString& path, const QStringList& roots);

}  // namespace Volumes
