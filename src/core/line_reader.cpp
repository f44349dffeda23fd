#include "core/line_reader.h"

#include <cstring>

namespace celvio {

LfLineReader::LfLineReader(qsizetype bufferSize) : bufferSize_(std::max<qsizetype>(bufferSize, 1)) {}

bool LfLineReader::Open(const QString& path)
{
    Close();
    // The buffer is made when a file is opened: a reader of bytes in memory needs none.
    if (buffer_.size() != bufferSize_)
        buffer_ = QByteArray(bufferSize_, Qt::Uninitialized);
    file_.setFileName(path);
    return file_.open(QIODevice::ReadOnly);
}

void LfLineReader::OpenBytes(const QByteArray& bytes)
{
    Close();
    buffer_ = bytes;
    inMemory_ = true;
    end_ = buffer_.size();
}

void LfLineReader::Close()
{
    if (file_.isOpen())
        file_.close();
    if (inMemory_) {
        inMemory_ = false;
        buffer_ = QByteArray();
    }
    pos_ = end_ = 0;
}

bool LfLineReader::Fill()
{
    pos_ = end_ = 0;
    if (!file_.isOpen())  // also the end of contents held in memory
        return false;
    const qint64 got = file_.read(buffer_.data(), buffer_.size());
    if (got <= 0)
        return false;
    end_ = qsizetype(got);
    return true;
}

bool LfLineReader::Next(QByteArray& line)
{
    line.resize(0);  // keeps the capacity for the next line
    bool any = false;  // characters of this line were read (a lone CR line counts)
    for (;;) {
        if (pos_ == end_ && !Fill())
            return any;
        any = true;
        const char* start = buffer_.constData() + pos_;
        const qsizetype available = end_ - pos_;
        const char* lf = static_cast<const char*>(std::memchr(start, '\n', size_t(available)));
        const qsizetype length = lf ? qsizetype(lf - start) : available;
        // Append the piece without its CRs.
        const char* piece = start;
        const char* const pieceEnd = start + length;
        while (piece < pieceEnd) {
            const char* cr = static_cast<const char*>(std::memchr(piece, '\r', size_t(pieceEnd - piece)));
            const char* stop = cr ? cr : pieceEnd;
            line.append(piece, qsizetype(stop - piece));
            piece = cr ? cr + 1 : pieceEnd;
        }
        if (lf) {
            pos_ += length + 1;
            return true;
        }
        pos_ = end_;
    }
}

bool ReadLfLine(LfLineReader& file, QString& line)
{
    QByteArray bytes;
    if (!file.Next(bytes))
        return false;
    line = QString::fromLatin1(bytes);
    return true;
}

}  // namespace celvio
