// The upload tables' rows, from one column order, in the two ways the uploader sends
// them: lines of COPY's text format (large batches) and statement parameters (small
// ones). Every value goes as data, never as SQL text.
#pragma once

#include "headoffice/upload_source.h"
#include "headoffice/uploader.h"

#include <QVariantList>

namespace celvio {

extern const QString kTestColumns;
extern const QString kRecordColumns;
extern const QString kSkippedColumns;

void AddTestRow(QByteArray& out, const StationIdentity& who, const UploadFile& f);
// A test in COPY's binary format (numbers and arrays go as they are: the server parses
// no text for them); BinaryCopyStart before the first row, BinaryCopyEnd after the last.
void BinaryCopyStart(QByteArray& out);
void AddTestRowBinary(QByteArray& out, const StationIdentity& who, const UploadFile& f);
void BinaryCopyEnd(QByteArray& out);
void AddRecordRow(QByteArray& out, const StationIdentity& who, const UploadFile& f, const UploadRecord& r);
void AddSkippedRow(QByteArray& out, const StationIdentity& who, const UploadFile& f);

QVariantList TestParams(const StationIdentity& who, const UploadFile& f);
QVariantList RecordParams(const StationIdentity& who, const UploadFile& f, const UploadRecord& r);
QVariantList SkippedParams(const StationIdentity& who, const UploadFile& f);

}  // namespace celvio
