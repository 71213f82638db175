// What other programs and failing disks do to a log file, for the tests of what the log
// withstands.
#pragma once

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>

#include "runlog_test_support.h"

namespace moravik::runlog {

inline QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs statements on the file through a connection of its own, as another program would, then
// closes it. Gives the first value of the last statement's first row, or -1.
inline int rawSql(const QString& path, const QStringList& statements) {
    int value = -1;
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "raw");
        raw.setDatabaseName(path);
        EXPECT_TRUE(raw.open()) << path.toStdString();
        QSqlQuery query(raw);
        for (const QString& statement : statements) {
            EXPECT_TRUE(query.exec(statement)) << statement.toStdString();
        }
        if (query.next()) value = query.value(0).toInt();
        raw.close();
    }
    QSqlDatabase::removeDatabase("raw");
    return value;
}

// Where SQLite keeps the first page of a table or index, counted from 1.
inline int rootPage(const QString& path, const QString& name) {
    const int page = rawSql(
        path, {QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = '%1'").arg(name)});
    EXPECT_GT(page, 1) << name.toStdString();
    return page;
}

// Writes bytes into the file from `at`, making the file if need be.
inline void writeAt(const QString& path, qint64 at, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(at);
    file.write(bytes);
}

inline QByteArray garbage(qint64 bytes) { return QByteArray(bytes, '\x5a'); }

// 16 KB overwritten in the middle of the file: in a log of 3,000 runs the header and the
// tables' first pages stay intact, the damage lies deeper.
inline void damageTheMiddle(const QString& path) {
    writeAt(path, QFile(path).size() / 2 / 4096 * 4096, garbage(16384));
}

// A closed log of `runs` runs of one vehicle.
inline void makeLog(const QString& path, int runs) {
    const auto log = openLog(path);
    const VehicleId id = valueOf(log->addVehicle(namedVehicle("Camaro")));
    std::vector<Run> all;
    for (int n = 0; n < runs; ++n) all.push_back(numberedRun(id, n));
    valueOf(log->addRuns(all));
}

}  // namespace moravik::runlog
