// The drive list's volumes, from mount tables as the kernel writes them.
#include <QtTest>

#include "Volumes.h"

class tst_Volumes : public QObject {
    Q_OBJECT

private slots:
    void onlyVolumesAUserWouldChoose_data();
    void onlyVolumesAUserWouldChoose();
};

void tst_Volumes::onlyVolumesAUserWouldChoose_data() {
    QTest::addColumn<QByteArray>("mountinfo");
    QTest::addColumn<QStringList>("roots");
    const QByteArray base =
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "23 22 0:5 / /proc rw - proc proc rw\n"
        "24 22 0:6 / /sys rw - sysfs sysfs rw\n"
        "25 22 0:7 / /dev rw - devtmpfs udev rw\n"
        "26 22 0:8 / /run rw - tmpfs tmpfs rw\n"
        "27 24 0:9 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n";
    QTest::newRow("system only") << base << QStringList{"/"};
    QTest::newRow("disks and removable media")
        << base +
               "30 22 8:17 / /home rw - ext4 /dev/sdb1 rw\n"
               "31 26 8:33 / /run/media/ann/USB\\040STICK rw - vfat /dev/sdc1 rw\n"
               "32 22 8:49 / /mnt/backup rw - xfs /dev/sdd1 rw\n"
        << QStringList{"/", "/home", "/mnt/backup", "/run/media/ann/USB STICK"};
    // A bind mount shows a folder of a volume already listed, or a single file.
    QTest::newRow("bind mounts")
        << base +
               "30 22 8:17 / /home rw - ext4 /dev/sdb1 rw\n"
               "40 22 8:1 /var/lib/app /srv/app rw - ext4 /dev/sda1 rw\n"
               "41 22 8:17 /ann/music /music rw - ext4 /dev/sdb1 rw\n"
               "42 22 8:1 /etc/hostname /etc/hostname rw - ext4 /dev/sda1 rw\n"
               "43 22 8:17 / /mnt/home-again rw - ext4 /dev/sdb1 rw\n"
        << QStringList{"/", "/home"};
    // Subvolumes of one file system, each mounted whole: both are volumes.
    QTest::newRow("subvolumes")
        << QByteArray(
               "22 1 0:30 /@ / rw - btrfs /dev/sda2 rw\n"
               "23 22 0:30 /@home /home rw - btrfs /dev/sda2 rw\n"
               "24 22 0:30 /@home/ann/music /music rw - btrfs /dev/sda2 rw\n")
        << QStringList{"/", "/home"};
    QTest::newRow("pseudo file systems elsewhere")
        << base +
               "50 22 0:40 / /mnt/squash ro - squashfs /dev/loop0 ro\n"
               "51 22 0:41 / /media/auto rw - autofs systemd-1 rw\n"
               "52 22 0:42 / /var/lib/docker/merged rw - overlay overlay rw\n"
        << QStringList{"/"};
}

void tst_Volumes::onlyVolumesAUserWouldChoose() {
    QFETCH(QByteArray, mountinfo);
    QFETCH(QStringList, roots);
    QCOMPARE(Volumes::MountedVolumes(mountinfo), roots);
    for (const QString& root : roots) QCOMPARE(Volumes::RootOf(root + "/x", roots), root);
}

QTEST_GUILESS_MAIN(tst_Volumes)
#include "tst_volumes.moc"
