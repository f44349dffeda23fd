// The keys of the result file, for its writer and its reader alike: the text the
// writer puts down, and the part of it the reader looks for (files of older versions
// and of other counter PCs differ in the blanks around it).
#pragma once

#include <QByteArrayView>
#include <QLatin1StringView>
#include <iterator>

namespace celvio {

enum class FileKey : quint8 {
    Title,
    Date,
    Time,
    Overall,
    DirectSwap,
    Tester,
    Serial,
    Firmware,
    Mobile,
    System,
    Imei,
    Imsi,
    Fault,
    Environment,
    Coupler,
    ControlChannel,
    GeneratorLevel,
    MobileCall,
    DialledNumber,
    BaseCall,
    SpeechLoopback,
    TrafficChannel,
    OldImei,
    NewImei,
    SwapComment,
};

struct FileKeyText {
    FileKey key;
    const char* written;  // exactly as the writer puts it
    const char* found;    // what the reader looks for
};

inline constexpr FileKeyText kFileKeys[] = {
    {FileKey::Title, "TEST REPORT - CELVIO : ", "TEST REPORT - CELVIO : "},
    {FileKey::Date, "Date: ", "Date: "},
    {FileKey::Time, "Time: ", "Time:"},
    {FileKey::Overall, "OVERALL TEST RESULT: ", "OVERALL TEST RESULT:"},
    {FileKey::DirectSwap, "Mobile phone not tested. Swapped direct.", "Mobile phone not tested. Swapped direct."},
    {FileKey::Tester, "Dalvora MOBILE TESTER  : ", "MOBILE TESTER"},
    {FileKey::Serial, "          Serial Number: ", "Serial Number:"},
    {FileKey::Firmware, "       Firmware Version: ", "Firmware Version:"},
    {FileKey::Mobile, "MOBILE TELEPHONE       : ", "MOBILE TELEPHONE"},
    {FileKey::System, "        Cellular System: ", "Cellular System:"},
    {FileKey::Imei, "    IMEI: ", "IMEI:"},
    {FileKey::Imsi, "    IMSI: ", "IMSI:"},
    {FileKey::Fault, "Customer fault description: ", "Customer fault description:"},
    {FileKey::Environment, "TEST ENVIRONMENT:", "TEST ENVIRONMENT:"},
    {FileKey::Coupler, "  Mobile Connected Via : Dalvora Antenna Coupler ", "Mobile Connected Via"},
    {FileKey::ControlChannel, "      Broadcast Channel:", "Broadcast Channel:"},
    {FileKey::GeneratorLevel, "         BS Power Level: ", "BS Power Level:"},
    {FileKey::MobileCall, "Call From Mobile       : ", "Call From Mobile"},
    {FileKey::DialledNumber, "Dialled Number         : ", "Dialled Number"},
    {FileKey::BaseCall, "Call From Base Station : ", "Call From Base Station"},
    {FileKey::SpeechLoopback, "Speech Loopback        : ", "Speech Loopback"},
    {FileKey::TrafficChannel, "Traffic Channel", "Traffic Channel"},
    {FileKey::OldImei, "OLD MOBILE IMEI: ", "OLD MOBILE IMEI:"},
    {FileKey::NewImei, "NEW MOBILE IMEI: ", "NEW MOBILE IMEI:"},
    {FileKey::SwapComment, "Swap comment :", "Swap comment :"},
};

constexpr bool FileKeysInOrder()
{
    for (int i = 0; i < int(std::size(kFileKeys)); ++i)
        if (int(kFileKeys[i].key) != i)
            return false;
    return true;
}
static_assert(FileKeysInOrder(), "kFileKeys lists every FileKey once, in the order of the enumeration");

constexpr const FileKeyText& KeyText(FileKey key)
{
    return kFileKeys[int(key)];
}
inline QLatin1StringView Written(FileKey key)
{
    return QLatin1StringView(KeyText(key).written);
}
inline QByteArrayView Found(FileKey key)
{
    return QByteArrayView(KeyText(key).found);
}

// The rows of a result file's measurement blocks: the row name, ":" at column 24, the
// value at column 26, the limit at column 41 (columns from 1).
inline constexpr int kColonColumn = 24;
inline constexpr int kValueColumn = 26;
inline constexpr int kLimitColumn = 41;

// What an empty free text is written as.
inline constexpr char kEmptyText[] = "----";

}  // namespace celvio
