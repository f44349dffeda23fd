// The service point's identity (kept in "swap.dat") and the customer data asked at the
// start of each TEST or SWAP cycle, entered on the "Zavar Service" screen.
#pragma once

#include <QByteArray>
#include <QString>

namespace celvio {

struct App;

// The customer's comment on the data screen: its length, and its field (Text6).
constexpr int kCommentLength = 200;
constexpr int kCommentField = 16;

// The values of the service point identity screen, as typed.
struct ServicePointEntry {
    QString ServicePointId;
    QString Company;
    QString Address;
    QString Phone;
    QString TestedBy;
};

// True for an ID "AB123" (two capitals, three digits) or "123_123456".
bool ValidServicePointId(const QString& id);

// True for an empty number, "*", or ten digits.
bool ValidClubZavarNumber(const QString& number);

// The message that refuses `entry`, or an empty text when it can be stored.
QString ServicePointEntryProblem(const ServicePointEntry& entry);

// The message that refuses a text typed into the field `field` when it holds a
// character that the station's Latin-1 files cannot hold (it names the character),
// or an empty text when every character fits.
QString Latin1EntryProblem(const QString& field, const QString& text);

// What the "Zavar Service" screen asks for.
enum class ServiceEntry {
    Customer = 1,      // the customer's Club Zavar number and the comment box (label set by the caller)
    ServicePoint = 2,  // the service point's identity
};

// The "Zavar Service" screen.
void EnterServiceData(App& app, ServiceEntry kind);

// The line of "swap.dat" for the station's service point (without its line end).
QString ServiceFileLine(const App& app);

// Reads "swap.dat" into the station state; false when it is missing, unreadable or
// holds values that the entry screen would refuse.
bool ReadServiceFile(App& app);

// The same from the bytes of "swap.dat" (ReadServiceFile reads the file and calls it).
bool ReadServiceBytes(App& app, const QByteArray& bytes);

// Writes "swap.dat"; tells the operator when that fails.
bool WriteServiceFile(App& app);

// Reads the service point data at start-up, asking for it when missing.
void LoadServiceData(App& app);

// The customer data at the start of a TEST cycle: number and fault description.
void AskTestCustomerData(App& app);

// The customer data at the start of a SWAP cycle: number and swap comment.
void AskSwapCustomerData(App& app);

// The service point identity entry from the port set-up screens, then "swap.dat".
void EnterServicePointData(App& app);

}  // namespace celvio
