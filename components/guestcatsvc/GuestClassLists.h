#pragma once

#include <QString>

#include <memory>
#include <optional>

namespace desk {
class Connection;
class RowSet;
} // namespace desk

namespace guestcatsvc {

// The five guest classification lists of DaySalesCliants.mdb. Kind numbers:
// 0 AgeClass, 1 GroupeClass, 2 UserClass, 3 PaymentClass, 4 ChoiceClass.
//
// setDirPath(), CntDb(), then look-ups or one rename. The row-set getters hand out the
// store's own row sets: moving one moves the row the next look-up starts from, because
// look-ups search forward from the current row. Every failure is thrown (desk::DbError).
class OptionDataClass {
public:
    OptionDataClass();
    ~OptionDataClass();

    OptionDataClass(const OptionDataClass&) = delete;
    OptionDataClass& operator=(const OptionDataClass&) = delete;

    // The name of `code` in list `kind`; "x" when the list has no such code, empty when
    // `kind` is not 0 to 4.
    QString DispClassData(int kind, const QString& code);
    // Opens DaySalesCliants.mdb and the five lists.
    void CntDb();
    // Renames entry CheckEditData of list CheckFlag ("0" to "4") from MyAge, MyGroupe,
    // MyUser, MyPayment or MyReason; any other CheckFlag does nothing.
    void RecEdit();
    // Adds entry CheckEditData to list CheckFlag under the name of the list's property, as
    // RecEdit reads it. A code the list already holds fails on the table's unique key.
    void RecAdd();
    // Deletes entry CheckEditData of list CheckFlag; throws when the list has no such code.
    void RecDelete();
    // How many check-ins hold code CheckEditData in the column of list CheckFlag. A code in
    // use must stay in its list, or the aggregation could no longer name it.
    int RecUsage();
    // The first two-character code list `kind` does not hold yet: the list's letter and a
    // digit, then a capital letter ("A7" after A0..A6); empty when all are taken.
    QString NextCode(int kind);

    // Kept in the object only, as a whole number (halves to even).
    void setServiceFee(double value);
    double ServiceFee() const { return m_serviceFee; }
    // Accepted and dropped: nothing keeps a tax rate here.
    void setSalesTax(double) {}
    double SalesTax() const { return 0; }

    void setMyAge(const QString& value) { m_myAge = value; }
    QString MyAge() const { return m_myAge; }
    void setMyAgeCode(const QString& value) { m_myAgeCode = value; }
    QString MyAgeCode() const { return m_myAgeCode; }
    void setMyUser(const QString& value) { m_myUser = value; }
    QString MyUser() const { return m_myUser; }
    void setMyUserCode(const QString& value) { m_myUserCode = value; }
    QString MyUserCode() const { return m_myUserCode; }
    void setMyReason(const QString& value) { m_myReason = value; }
    QString MyReason() const { return m_myReason; }
    void setMyReasonCode(const QString& value) { m_myReasonCode = value; }
    QString MyReasonCode() const { return m_myReasonCode; }
    void setMyGroupe(const QString& value) { m_myGroupe = value; }
    QString MyGroupe() const { return m_myGroupe; }
    void setMyGroupeCode(const QString& value) { m_myGroupeCode = value; }
    QString MyGroupeCode() const { return m_myGroupeCode; }
    void setMyPayment(const QString& value) { m_myPayment = value; }
    QString MyPayment() const { return m_myPayment; }
    void setMyPaymentCode(const QString& value) { m_myPaymentCode = value; }
    QString MyPaymentCode() const { return m_myPaymentCode; }

    // The store's own row sets (AgeClass, UserClass, ChoiceClass, GroupeClass,
    // PaymentClass); they stay owned by the store. Throw desk::DbError before CntDb().
    desk::RowSet* RsYear() const { return &list(Age); }
    desk::RowSet* RsAim() const { return &list(User); }
    desk::RowSet* RsC() const { return &list(Choice); }
    desk::RowSet* RsG() const { return &list(Groupe); }
    desk::RowSet* RsPay() const { return &list(Payment); }

    void setCheckFlag(const QString& value) { m_checkFlag = value; }
    void setCheckEditData(const QString& value) { m_checkEditData = value; }
    void setDirPath(const QString& dirPath) { m_dirPath = dirPath; }

    // The store's connection, for a screen that wraps several operations in one
    // desk::Transaction. Throws desk::DbError before CntDb().
    desk::Connection& connection() const;

private:
    // Indexed by kind number.
    enum Kind { Age = 0, Groupe = 1, User = 2, Payment = 3, Choice = 4, KindCount = 5 };
    desk::RowSet& list(int kind) const;
    // The kind named by CheckFlag, or -1.
    int flaggedKind() const;

    QString m_dirPath;
    std::shared_ptr<desk::Connection> m_connection;
    std::unique_ptr<desk::RowSet> m_lists[KindCount];

    double m_serviceFee = 0;
    QString m_myAge;
    QString m_myAgeCode;
    QString m_myUser;
    QString m_myUserCode;
    QString m_myReason;
    QString m_myReasonCode;
    QString m_myGroupe;
    QString m_myGroupeCode;
    QString m_myPayment;
    QString m_myPaymentCode;
    QString m_checkFlag;
    QString m_checkEditData;
};

// The rows of a store's list of a kind (0 to 4: 年齢層, グループ, 利用目的, 支払方法, 選択理由).
desk::RowSet& rowsOf(const OptionDataClass& store, int kind);

// The use cases of the maintenance window, each on a store of its own, each write in one
// transaction with its checks. kind is the list's kind number (0 to 4).

// An entry code as typed: full-width letters and digits read as ASCII, capitals, no
// blanks around it. Nothing unless it is exactly two letters or digits, as the check-in
// screen keeps the first two characters of an entry.
std::optional<QString> entryCode(const QString& typed);

enum class EntryAdded { Added, Taken };
// Adds the entry code/name unless the list has the code.
EntryAdded addEntry(const QString& dirPath, int kind, const QString& code, const QString& name);
// Renames the entry code; its code stays.
void renameEntry(const QString& dirPath, int kind, const QString& code, const QString& name);
// Whether a check-in holds the code in the list's column.
bool entryInUse(const QString& dirPath, int kind, const QString& code);
enum class EntryDeleted { Deleted, InUse, Last };
// Deletes the entry unless a check-in holds its code (the aggregation could no longer name
// it) or it is the list's last (the check-in picker needs one).
EntryDeleted deleteEntry(const QString& dirPath, int kind, const QString& code);

} // namespace guestcatsvc
