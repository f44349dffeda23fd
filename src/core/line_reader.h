// Reading large data files (the TAC tables, the model database) line by line, where
// a line ends at LF.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace celvio {

// Reads a file line by line through a large buffer. A line ends at LF; CR characters
// are dropped wherever they stand. A last line without LF is still a line.
class LfLineReader {
public:
    explicit LfLineReader(qsizetype bufferSize = 64 * 1024);

    // Opens `path` for reading (closing any file open before); false when it cannot.
    bool Open(const QString& path);
    // Reads the lines of `bytes` instead of a file's (the file's contents in memory).
    void OpenBytes(const QByteArray& bytes);
    void Close();
    bool IsOpen() const { return file_.isOpen() || inMemory_; }

    // The next line as bytes, without its LF and CRs; false at end of file. A read
    // error counts as end of file.
    bool Next(QByteArray& line);

private:
    bool Fill();

    QFile file_;
    QByteArray buffer_;
    qsizetype bufferSize_;
    bool inMemory_ = false;  // buffer_ holds the whole contents (OpenBytes)
    qsizetype pos_ = 0;
    qsizetype end_ = 0;
};

// The next line of `file` as Latin-1 text; false at end of file.
bool ReadLfLine(LfLineReader& file, QString& line);

}  // namespace celvio
