#include "ui/print/PrintQueue.h"

#include <QStringList>
#include <QUrl>
#include <cups/cups.h>

#include <algorithm>
#include <memory>

namespace PrintQueue {

namespace {

struct IppDeleter {
    void operator()(ipp_t *ipp) const { ippDelete(ipp); }
};

// The printer's message about the job, else the scheduler's reasons for its state.
QString failureReason(ipp_t *job)
{
    ipp_attribute_t *message = ippFindAttribute(job, "job-printer-state-message", IPP_TAG_TEXT);
    if (message && *ippGetString(message, 0, nullptr)) return QString::fromUtf8(ippGetString(message, 0, nullptr));
    QStringList reasons;
    ipp_attribute_t *keywords = ippFindAttribute(job, "job-state-reasons", IPP_TAG_KEYWORD);
    for (int i = 0; keywords && i < ippGetCount(keywords); ++i)
        reasons << QString::fromUtf8(ippGetString(keywords, i, nullptr));
    return reasons.join(QStringLiteral(", "));
}

using Response = std::unique_ptr<ipp_t, IppDeleter>;

// The queue's answer to a request for the attributes wanted; empty when it failed.
Response printerAttributes(const QString &queue, std::initializer_list<const char *> wanted)
{
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    const QByteArray uri = "ipp://localhost/printers/" + QUrl::toPercentEncoding(queue);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", int(wanted.size()), nullptr,
                  wanted.begin());
    Response response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"));
    if (cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE) response.reset();
    return response;
}

} // namespace

std::optional<QString> refusal(const QString &queue)
{
    const Response response = printerAttributes(queue, {"printer-is-accepting-jobs", "printer-state-message"});
    if (!response)
        return QStringLiteral("打印队列“%1”无法使用：").arg(queue) + lastError();
    ipp_attribute_t *accepting = ippFindAttribute(response.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    if (!accepting || ippGetBoolean(accepting, 0)) return std::nullopt;
    ipp_attribute_t *message = ippFindAttribute(response.get(), "printer-state-message", IPP_TAG_TEXT);
    const QString text = message ? QString::fromUtf8(ippGetString(message, 0, nullptr)) : QString();
    return QStringLiteral("打印队列“%1”拒绝接受打印任务").arg(queue) +
           (text.isEmpty() ? QString() : QStringLiteral("：") + text);
}

bool printsTwoSided(const QString &queue)
{
    const Response response = printerAttributes(queue, {"sides-supported"});
    ipp_attribute_t *sides = response ? ippFindAttribute(response.get(), "sides-supported", IPP_TAG_KEYWORD) : nullptr;
    return sides && ippContainsString(sides, "two-sided-long-edge");
}

int newestJob(const QString &queue)
{
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.toUtf8().constData(), 1, CUPS_WHICHJOBS_ALL);
    int newest = 0;
    for (int i = 0; i < count; ++i) newest = std::max(newest, jobs[i].id);
    cupsFreeJobs(count, jobs);
    return newest;
}

JobStatus jobStatus(int job)
{
    ipp_t *request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const QByteArray uri = "ipp://localhost/jobs/" + QByteArray::number(job);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    const char *wanted[] = {"job-state", "job-printer-state-message", "job-state-reasons"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr, wanted);
    const std::unique_ptr<ipp_t, IppDeleter> response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"));
    // A job the scheduler no longer knows is lost.
    if (!response || cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE) return {JobStatus::State::Failed, lastError()};
    ipp_attribute_t *state = ippFindAttribute(response.get(), "job-state", IPP_TAG_ENUM);
    switch (state ? ipp_jstate_t(ippGetInteger(state, 0)) : IPP_JSTATE_ABORTED) {
    case IPP_JSTATE_COMPLETED: return {JobStatus::State::Done, {}};
    case IPP_JSTATE_STOPPED:
    case IPP_JSTATE_CANCELED:
    case IPP_JSTATE_ABORTED: return {JobStatus::State::Failed, failureReason(response.get())};
    default: return {JobStatus::State::Waiting, {}};
    }
}

QString lastError()
{
    return cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE ? QString::fromUtf8(cupsLastErrorString()) : QString();
}

} // namespace PrintQueue
