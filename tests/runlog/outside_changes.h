// What other programs and failing disks do to a log file.
#pragma once

#include <sqlite3.h>

#include <QFile>
#include <QStringList>
#include <charconv>
#include <memory>

#include "runlog_test_support.h"

namespace moravik::runlog {

inline QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A connection of its own to the file, as another program would open it.
using OtherConnection = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;
inline OtherConnection otherConnection(const QString& path) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK)
        << path.toStdString();
    sqlite3_busy_timeout(db, 5000);
    return {db, &sqlite3_close};
}

// Runs statements through such a connection, then closes it. Gives the first
// value of the last statement's first row, or -1.
inline int rawSql(const QString& path, const QStringList& statements) {
    const auto db = otherConnection(path);
    struct First {
        bool seen = false;
        int value = -1;
    } first;
    for (const QString& statement : statements) {
        first = {};
        const auto take = [](void* into, int, char** values, char**) {
            auto& row = *static_cast<First*>(into);
            if (!row.seen && values[0]) {
                const std::string_view text = values[0];
                std::from_chars(text.data(), text.data() + text.size(), row.value);
            }
            row.seen = true;
            return 0;
        };
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(db.get(), statement.toUtf8().constData(), take, &first, &error),
                  SQLITE_OK)
            << statement.toStdString() << ": " << (error ? error : "");
        sqlite3_free(error);
    }
    return first.value;
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

// 16 KB overwritten mid-file: in a log of 3,000 runs the header and tables' first pages stay whole.
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

// The log and whatever lies beside it, gone.
inline void removeLog(const QString& path) {
    for (const char* suffix : {"", "-wal", "-shm", ".lock"}) QFile::remove(path + suffix);
}

// A copy taken while `runs` sit committed in the write-ahead file, not yet folded in.
inline void copyWithUnfoldedRuns(const QString& path, const QString& copy,
                                 const std::vector<Run>& runs) {
    const auto log = openLog(path);
    valueOf(log->addRuns(runs));
    for (const char* suffix : {"", "-wal"}) EXPECT_TRUE(QFile::copy(path + suffix, copy + suffix));
}

}  // namespace moravik::runlog
