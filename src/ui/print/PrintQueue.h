#pragma once

#include <QString>
#include <optional>

// The CUPS queue behind a printer, asked through libcups: whether it takes
// jobs now, and what became of a job handed to it. Qt hands the page to the
// queue but says nothing when the queue refuses it or the job fails later.
namespace PrintQueue {

// Why the queue will not take a job now (it rejects jobs, or does not
// exist); nothing when it accepts jobs.
std::optional<QString> refusal(const QString &queue);

// Whether the queue reports printing on both sides turned on the long edge
// (its sides-supported holds two-sided-long-edge).
bool printsTwoSided(const QString &queue);

// The newest of this user's jobs on the queue, finished ones included; 0 when
// there is none.
int newestJob(const QString &queue);

struct JobStatus {
    enum class State { Waiting, Done, Failed };
    State state = State::Waiting;
    QString reason;  // for a failed job: the printer's or the scheduler's words
};

// What became of a job, asked of the scheduler in one request.
JobStatus jobStatus(int job);

// libcups' explanation of its last request on this thread when it failed;
// empty when it succeeded.
QString lastError();

} // namespace PrintQueue
