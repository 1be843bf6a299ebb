#pragma once
// The syntax of a QIF file, without the data set: header lines choose what
// the following records are (account blocks, transactions, category and
// class lists), each record is lines of a code letter and a value closed by
// "^". The importer turns what this gives into accounts and transactions;
// the reader alone can be checked on any bytes.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "exchange/line_reader.h"
#include "model/transaction.h"

namespace tallowmere::exchange {

// One split line as written: "S" category text, "E" memo, "$" amount.
struct QifSplitText {
    std::string category;
    std::string memo;
    std::string amount;
};

// One transaction record, its values as they stand in the file.
struct QifRecordText {
    std::size_t firstLine = 0;
    std::size_t dateLine = 0;
    bool hasDate = false;
    std::string date;
    bool hasAmount = false;
    std::string amount;
    std::string status;
    bool hasNumber = false;
    std::string number;
    std::string payee;
    std::string memo;
    std::string category;
    // Lines after the tenth "$" are not kept.
    std::size_t splitCount = 0;
    std::array<QifSplitText, kSplitLineCount> splits;
};

// An "!Account" block: "N" name and "B" balance.
struct QifAccountText {
    std::size_t line = 0;
    bool hasName = false;
    std::string name;
    bool hasBalance = false;
    std::string balance;
};

enum class QifItem { kEnd, kError, kAccount, kTransaction, kCategory, kClass };

class QifReader {
  public:
    explicit QifReader(std::string_view text) : lines_(text) {}

    // The next item of the file; after kEnd or kError it stays there.
    QifItem Next();

    const QifAccountText& Account() const { return account_; }
    const QifRecordText& Record() const { return record_; }
    // The "N" value of a category or class record.
    const std::string& Name() const { return name_; }
    // The record's line (kCategory, kClass).
    std::size_t NameLine() const { return nameLine_; }
    // kQifTransactionUnclosed ... kQifAccountUnclosed and the first line of
    // the block that lacks its "^".
    int Error() const { return error_; }
    std::size_t ErrorLine() const { return errorLine_; }

  private:
    enum class State { kStart, kHeaders, kTransactions, kCategories, kClasses, kDone };

    QifItem Fail(int code, std::size_t line);
    // Moves to the list that the header line names; other lines change
    // nothing.
    void OnHeader(std::string_view line);
    QifItem ReadAccount();
    // False when the record was empty ("^" alone), which gives nothing.
    bool ReadRecord(QifItem& item);
    bool ReadName(int unclosedCode, std::size_t maxLength, QifItem kind, QifItem& item);

    LineReader lines_;
    State state_ = State::kStart;
    QifAccountText account_;
    QifRecordText record_;
    std::string name_;
    std::size_t nameLine_ = 0;
    int error_ = 0;
    std::size_t errorLine_ = 0;
};

// The longest name kept from a category ("Parent:Child") or class record.
inline constexpr std::size_t kQifCategoryNameMax = 65;
inline constexpr std::size_t kQifClassNameMax = 32;

}  // namespace tallowmere::exchange
