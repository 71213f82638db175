// The run log: one SQLite file of vehicles and runs, through the SQLite C library.
//
// Each change is one transaction, committed to disk before it returns
// (write-ahead log, synchronous FULL), so killing the program at any moment
// loses no change that was reported saved. One program at a time writes a log:
// a second one waits `OpenOptions::wait`, then gets Problem::InUse. Readers
// (Access::ReadOnly, as `moravik-calc log` opens it) never wait for the writer.
//
// Every failure is a LogError with a sentence for the user, and none changes
// what the log already holds. Every check runs before the first write: another
// program's database (PRAGMA application_id, or for older logs their version
// and exact tables) is Problem::Foreign and stays byte for byte as it was. A
// damaged file (PRAGMA integrity_check at opening, or any statement meeting damage
// later) is not written: open() reports Problem::Damaged, and the caller
// chooses between setAsideAndStartFresh() and opening it read-only. A window
// may put the check off (OpenOptions::checkLater) and run it while it reads;
// the log is not written until the check has passed.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "moravik/runlog/log_columns.h"
#include "moravik/runlog/log_error.h"
#include "moravik/runlog/prediction.h"
#include "moravik/runlog/records.h"

struct sqlite3;

namespace moravik::runlog {

namespace detail {
class Statement;
class WriterLock;
}  // namespace detail

enum class Access { ReadWrite, ReadOnly };

struct OpenOptions {
    Access access = Access::ReadWrite;
    std::chrono::milliseconds wait{2000};  // for another program using the log
    // Caps the file at this many pages; a change beyond it fails as on a full
    // disk. 0 leaves the size to the disk.
    int maxPageCount = 0;
    // Opens a log that opening would not change (marked, current and in
    // write-ahead mode, as every log is after its first opening) without the
    // integrity check, which reads the whole file: runPutOffCheck() runs it later.
    // Until finishCheck() is told it passed, the log is read-only.
    bool checkLater = false;
};

class RunLog {
public:
    // The user's log: run-log.sqlite in moravik-raceday under $XDG_DATA_HOME
    // or ~/.local/share, where Race Day keeps it.
    static std::string defaultPath();

    static LogResult<std::unique_ptr<RunLog>> open(const std::string& path,
                                                   const OpenOptions& options = {});

    struct FreshStart {
        std::unique_ptr<RunLog> log;
        std::string keptAs;  // where the old file now is, unchanged
    };

    // Renames the file at `path` (with its write-ahead log) to a new name
    // beside it, byte for byte as it was, and starts an empty log at `path`.
    static LogResult<FreshStart> setAsideAndStartFresh(const std::string& path,
                                                       const OpenOptions& options = {});

    ~RunLog();
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    const std::string& path() const { return path_; }
    // Read-only when opened so, while a put-off check has not passed, or once
    // the file is known to be damaged.
    bool isReadOnly() const { return lock_ == nullptr || awaitsCheck() || damage_.has_value(); }
    // Why the file is damaged, when the check at opening or a statement
    // since found it so. A damaged log is read, never written.
    const LogStatus& damage() const { return damage_; }
    // Damage a reader met makes the log read-only like damage it met itself.
    void noteDamage(const LogError& error);
    // Called once, when damage is first noted: for a window to offer setting
    // the file aside. It must not use the log before the read that met the
    // damage has returned.
    void onDamage(std::function<void()> told) { onDamage_ = std::move(told); }

    // Whether the check put off at opening has yet to pass.
    bool awaitsCheck() const { return !checked_; }
    // That check, on a connection of its own, so another thread may run
    // it while this one reads the log. It stops with an error once `goOn`
    // says false. Empty when the file is sound.
    LogStatus runPutOffCheck(const std::function<bool()>& goOn) const;
    // Takes the verdict of runPutOffCheck(), on the log's own thread: the log
    // becomes writable, or is noted as damaged.
    void finishCheck(const LogStatus& verdict);

    LogResult<std::vector<Vehicle>> vehicles();  // by name
    LogResult<Vehicle> vehicle(VehicleId id);
    LogResult<Vehicle> vehicleNamed(const std::string& name);  // ignoring (ASCII) case
    LogResult<VehicleId> addVehicle(const Vehicle& vehicle);
    LogStatus updateVehicle(const Vehicle& vehicle);
    LogStatus deleteVehicle(VehicleId id);  // refused while it has runs

    LogResult<RunId> addRun(const Run& run);
    // All or none, in one transaction; runs with a non-zero id keep it.
    LogResult<std::vector<RunId>> addRuns(std::span<const Run> runs);
    LogStatus updateRun(const Run& run);
    // Gives back the runs as they were, so restoreRuns() can undo the deletion.
    LogResult<std::vector<Run>> deleteRuns(std::span<const RunId> ids);
    LogStatus restoreRuns(std::span<const Run> runs);

    // Every read of runs leaves out, and notes in leftOut(), a run whose values
    // changed after it was saved (its checksum no longer matches: the file is
    // damaged, and the log is noted so) or that holds a value checkRun refuses.
    struct LeftOut {
        RunId id;
        std::string reason;  // "it has changed since it was saved: ..."
    };
    // Each run left out since the log was opened, once, in the order met.
    const std::vector<LeftOut>& leftOut() const { return leftOut_; }

    LogResult<Run> run(RunId id);
    LogResult<std::vector<Run>> runs(const RunFilter& filter = {});  // oldest first
    // The same one at a time, holding none of them, until `each` says false.
    LogStatus eachRun(const RunFilter& filter, const std::function<bool(const Run&)>& each);
    // The newest `count` runs of a vehicle without nitrous, or with this jet
    // (matched to the thousandth of an inch); newest first.
    LogResult<std::vector<Run>> recentRuns(VehicleId vehicle, std::optional<double> jetInches,
                                           int count);
    LogResult<std::vector<std::string>> strips();  // every strip named in a run, sorted
    struct KnownStrip {
        std::string name;
        std::optional<double> elevationMetres;  // of its newest run that gives one
    };
    // The same with their elevations, for the run form's list of strips.
    LogResult<std::vector<KnownStrip>> stripElevations();

    // Makes the changes `changes` calls one transaction: all are kept or none.
    // An error it returns undoes them all.
    LogStatus asOneChange(const std::function<LogStatus()>& changes) {
        return inTransaction(changes);
    }

    // Makes the reads `reads` calls see the log as it is at the first of them,
    // whatever another program writes meanwhile.
    LogStatus asOneRead(const std::function<LogStatus()>& reads);

    // SQLite's full check of the file, which reads all of it (a tenth of a
    // second for 100,000 runs): empty when it is sound.
    LogStatus checkIntegrity();

    // Folds the write-ahead file into the log and empties it, as after an
    // import; closing does it too.
    LogStatus shrinkJournal();

    // For a table shown a page at a time: the ids of the runs the filter lets
    // through, in the order of a column of the window's table (log_columns.h),
    // ties by id in the same direction; the first `limit` of them when given.
    LogResult<std::vector<RunId>> sortedRunIds(const RunFilter& filter, int tableColumn,
                                               bool ascending,
                                               std::optional<int> limit = std::nullopt);
    // The same by a figure of each run's air (prediction.h), which SQL cannot work out as the
    // race-day library does: the runs are read and their figures sorted here. Runs whose
    // figure is missing come last either way.
    LogResult<std::vector<RunId>> sortedRunIds(const RunFilter& filter, RunFigure figure,
                                               raceday::Standard standard, bool ascending);
    struct NamedRun {
        Run run;
        std::string vehicleName;
    };
    // The runs of these ids that are in the log, in no particular order.
    LogResult<std::vector<NamedRun>> runsWithNames(std::span<const RunId> ids);

    // The SQLite connection, for tests that look at the file's tables.
    sqlite3* connection() const { return db_; }

private:
    RunLog(std::string path, std::unique_ptr<detail::WriterLock> lock);
    LogStatus inTransaction(const std::function<LogStatus()>& change);
    // `work` between `begin` and COMMIT, or ROLLBACK when it fails.
    LogStatus transaction(const char* begin, const std::function<LogStatus()>& work);
    // "id, run_at, ..., checksum": the columns readRuns expects, with `alias.`.
    std::string runColumns(std::string_view alias) const;
    // Runs `sql`, whose rows start with runColumns, handing each sound run to
    // `each` with the row and the index of the first column after them.
    LogStatus readRuns(const std::string& sql, const std::vector<Cell>& values,
                       const std::function<bool(Run&&, const detail::Statement&, int)>& each);
    LogResult<std::vector<Run>> runList(const std::string& sql, const std::vector<Cell>& values);
    void leaveOut(RunId id, std::string reason, bool changed);
    void checkpointOnClose(bool fold);
    // The result of a read; damage it met is noted.
    template <typename T>
    LogResult<T> noted(LogResult<T> result);

    std::string path_;
    sqlite3* db_ = nullptr;
    std::unique_ptr<detail::WriterLock> lock_;  // held while writable
    bool inTransaction_ = false;
    LogStatus damage_;
    std::function<void()> onDamage_;
    bool checked_ = true;
    bool removeCompanions_ = false;  // a reader, which leaves no empty ones
    bool sharedMadeHere_ = false;    // the reader made the -shm file, which goes with it
    // A log of an earlier version is read as it is: the columns its runs table
    // has. Empty for a log of this version.
    std::vector<std::string> earlierColumns_;
    bool hasColumn(std::string_view sql) const;
    std::vector<LeftOut> leftOut_;
    std::set<RunId> leftOutIds_;
};

}  // namespace moravik::runlog
