#include "history/index_files.h"

#include "core/training_mark.h"

#include <QDateTime>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <thread>
#include <utility>
#include <unistd.h>
#include <vector>

namespace celvio {

namespace {

// A result file has some dozens of lines and a record file one line per phone handled:
// anything far larger is not one, and is not read into memory.
constexpr qint64 kLargestResultFile = qint64(1) << 20;
constexpr qint64 kLargestRecordFile = qint64(64) << 20;
// The readers take the plan in chunks and may run a few chunks ahead of the writer:
// enough to keep every core busy, few enough that the records read stay small in
// memory, and the threads meet once a chunk rather than once a file.
constexpr qsizetype kChunk = 32;
constexpr qsizetype kChunksAhead = 8;
// The memory of a file's rows that a slot of the ring keeps for the next file, bytes.
constexpr qsizetype kKeptRowsMemory = qsizetype(1) << 16;
// A plan this short is read in the calling thread.
constexpr int kReadAlone = 8;

// The files read ahead and handed over in order.
class ReadAheadRing {
public:
    ReadAheadRing(const QList<PlannedFile>& plan, const ReadContext& context)
        : plan_(plan), context_(context), chunks_((plan.size() + kChunk - 1) / kChunk), ring_(kChunk * kChunksAhead),
          ready_(kChunksAhead, false)
    {
    }

    // One reader thread: takes the next chunk of the plan while it lies within the
    // window ahead of the writer.
    void Read()
    {
        FileParse parse(context_.rowTexts);
        for (;;) {
            qsizetype chunk = 0;
            {
                std::unique_lock lock(mutex_);
                window_.wait(lock, [&] { return stop_ || next_ >= chunks_ || next_ < handed_ + kChunksAhead; });
                if (stop_ || next_ >= chunks_)
                    return;
                chunk = next_++;
            }
            for (qsizetype i = chunk * kChunk; i < std::min(plan_.size(), (chunk + 1) * kChunk); ++i) {
                ReadFile& slot = ring_[size_t(i % (kChunk * kChunksAhead))];
                slot.Clear();
                ReadStationFile(plan_[i], context_, parse, slot);
            }
            std::lock_guard lock(mutex_);
            ready_[size_t(chunk % kChunksAhead)] = true;
            ready_cv_.notify_one();
        }
    }

    // The writer's side: every file in order, until `take` says stop.
    void Hand(const std::function<bool(const PlannedFile&, ReadFile&)>& take)
    {
        for (qsizetype chunk = 0; chunk < chunks_; ++chunk) {
            const size_t flag = size_t(chunk % kChunksAhead);
            {
                std::unique_lock lock(mutex_);
                ready_cv_.wait(lock, [&] { return bool(ready_[flag]); });
            }
            bool more = true;
            for (qsizetype i = chunk * kChunk; more && i < std::min(plan_.size(), (chunk + 1) * kChunk); ++i)
                more = take(plan_[i], ring_[size_t(i % (kChunk * kChunksAhead))]);
            std::lock_guard lock(mutex_);
            ready_[flag] = false;
            ++handed_;
            stop_ = !more;
            window_.notify_all();
            if (!more)
                return;
        }
    }

private:
    const QList<PlannedFile>& plan_;
    const ReadContext& context_;
    const qsizetype chunks_;
    std::vector<ReadFile> ring_;
    std::vector<bool> ready_;
    std::mutex mutex_;
    std::condition_variable window_;    // readers wait for room ahead
    std::condition_variable ready_cv_;  // the writer waits for its next chunk
    qsizetype next_ = 0;    // the next chunk a reader takes
    qsizetype handed_ = 0;  // chunks handed to the writer
    bool stop_ = false;
};

// The SHA-256 of the bytes into `digest` (OpenSSL's, which uses the processor's own
// instructions: hashing is a good part of reading a station's files); empty when it
// cannot be had. The digest's method is looked up once, and each thread keeps its
// context.
void Sha256(const QByteArray& bytes, QByteArray& digest)
{
    struct Context {
        EVP_MD* md = EVP_MD_fetch(nullptr, "SHA256", nullptr);
        EVP_MD_CTX* ctx = EVP_MD_CTX_new();
        ~Context()
        {
            EVP_MD_CTX_free(ctx);
            EVP_MD_free(md);
        }
    };
    thread_local Context sha;
    digest.resize(EVP_MAX_MD_SIZE);
    unsigned int size = 0;
    if (!sha.md || !sha.ctx || EVP_DigestInit_ex2(sha.ctx, sha.md, nullptr) != 1 ||
        EVP_DigestUpdate(sha.ctx, bytes.constData(), size_t(bytes.size())) != 1 ||
        EVP_DigestFinal_ex(sha.ctx, reinterpret_cast<unsigned char*>(digest.data()), &size) != 1)
        size = 0;
    digest.resize(size);
}

// The whole file, read straight from its descriptor; false with the system's reason.
bool ReadWhole(int fd, qint64 size, QByteArray& out, QString& reason)
{
    out.resize(size);
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, out.data() + done, size_t(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            reason = QStringLiteral("cannot be read: ") + QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        if (n == 0)
            break;  // shorter than when it was looked at: what is there
        done += n;
    }
    out.resize(done);
    return true;
}

// The local calendar day of a file time (the C library's, which reads the time zone
// once, where every QDateTime conversion would read it again).
QDate LocalDay(time_t seconds)
{
    struct tm local {};
    if (!localtime_r(&seconds, &local))
        return QDate();
    return QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

}  // namespace

void RowTexts::Load(const QList<Text>& known)
{
    std::lock_guard lock(mutex_);
    for (const Text& text : known) {
        ids_.insert(text.quantity + QChar(0x1f) + text.rowName + QChar(0x1f) + text.limit, text.id);
        next_ = std::max(next_, text.id + 1);
    }
}

qint64 RowTexts::Id(const QString& quantity, const QString& rowName, const QString& limit)
{
    QString key;
    key.reserve(quantity.size() + rowName.size() + limit.size() + 2);
    key.append(quantity).append(QChar(0x1f)).append(rowName).append(QChar(0x1f)).append(limit);
    std::lock_guard lock(mutex_);
    const auto known = ids_.constFind(key);
    if (known != ids_.constEnd())
        return *known;
    const qint64 id = next_++;
    ids_.insert(key, id);
    new_.append(Text{id, quantity, rowName, limit});
    return id;
}

qint64 RowTextIds::Id(RowId row, const QString& quantity, const QString& rowName, const QString& limit)
{
    Key key{row, rowName, limit};
    const auto known = known_.constFind(key);
    if (known != known_.constEnd())
        return *known;
    const qint64 id = shared_.Id(quantity, rowName, limit);
    known_.insert(std::move(key), id);
    return id;
}

QList<RowTexts::Text> RowTexts::TakeNew()
{
    std::lock_guard lock(mutex_);
    return std::exchange(new_, {});
}

bool IsResultName(const QString& name)
{
    return name.endsWith(QLatin1String(".TXT"), Qt::CaseInsensitive);
}

void ReadFile::Clear()
{
    Size = 0;
    MTime = 0;
    Result = true;
    Ok = false;
    Reason = QString();
    Hash.resize(0);
    Rows.test.clear();
    Rows.cells.resize(0);
    Rows.marks.clear();
    // The rows of a large record file are not kept in the ring for the files after it.
    if (Rows.texts.capacity() > kKeptRowsMemory || Rows.records.capacity() > kKeptRowsMemory / 8) {
        Rows.texts = QByteArray();
        Rows.records = QList<BoundValue>();
    }
    Rows.texts.resize(0);
    Rows.records.clear();
}

FileParse::FileParse(RowTexts* rowTexts)
{
    if (rowTexts)
        Ids.emplace(*rowTexts);
}

void ReadStationFile(const PlannedFile& file, const ReadContext& context, FileParse& parse, ReadFile& out)
{
    out.Result = IsResultName(file.Name);
    // A file that is skipped unread is stored under its name too.
    out.Rows.folder = file.Folder.toUtf8();
    out.Rows.name = file.Name.toUtf8();
    const int fd = ::open(QFile::encodeName(file.Path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        out.Reason = QStringLiteral("cannot be read: ") + QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    struct stat buf {};
    if (::fstat(fd, &buf) == 0) {
        out.Size = qint64(buf.st_size);
        out.MTime = qint64(buf.st_mtim.tv_sec) * 1000 + buf.st_mtim.tv_nsec / 1000000;
    }
    QByteArray& bytes = parse.Bytes;
    if (bytes.capacity() > kLargestResultFile)
        bytes = QByteArray();  // a large record file's memory is not kept for the next file
    const bool tooLarge = out.Size > (out.Result ? kLargestResultFile : kLargestRecordFile);
    const bool read = !tooLarge && ReadWhole(fd, out.Size, bytes, out.Reason);
    ::close(fd);
    if (tooLarge)
        out.Reason = QStringLiteral("too large for its kind (%1 bytes)").arg(out.Size);
    if (!read)
        return;
    // The SHA-256 of the bytes read: the file's key at the chain's head office.
    Sha256(bytes, out.Hash);
    if (out.Result) {
        const QDate fileDay = LocalDay(buf.st_mtim.tv_sec);
        out.Ok = ReadStoredResultFile(bytes, fileDay, parse.Test, &out.Reason, context.order, &parse.Cells);
        if (out.Ok && !parse.Test.Date.isValid())
            parse.Test.Date = fileDay;  // a date that cannot be read: the file's own day stands in
    } else {
        out.Ok = ParseHistoryRecords(bytes, parse.Records, &out.Reason);
    }
    if (parse.Ids)
        MakeIndexRows(parse, out);
}

bool ReadStoredResultFile(const QByteArray& bytes, const QDate& fileDay, CycleRecord& out, QString* reason,
                          DateOrder order, QList<CellRef>* cellsRead)
{
    return ReadResultFile(WithoutTrainingMark(bytes), fileDay, out, reason, order, cellsRead);
}

void ReadInParallel(const QList<PlannedFile>& plan, const ReadContext& context,
                    const std::function<bool(const PlannedFile&, ReadFile&)>& take)
{
    if (plan.size() <= kReadAlone) {
        FileParse parse(context.rowTexts);
        for (const PlannedFile& file : plan) {
            ReadFile read;
            ReadStationFile(file, context, parse, read);
            if (!take(file, read))
                return;
        }
        return;
    }
    ReadAheadRing ring(plan, context);
    const unsigned readers = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> threads;
    for (unsigned n = 0; n < readers; ++n)
        threads.emplace_back([&ring] { ring.Read(); });
    ring.Hand(take);
    for (std::thread& t : threads)
        t.join();
}

}  // namespace celvio
