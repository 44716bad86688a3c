#pragma once
// The cover formats of one medium: one record per line of its data file.
//
// A table is in one of three states: unread (its file had a bad line, so nothing of it may
// be used or written back), empty (the file is missing or empty: one element without a
// record) or a list of records.
#include <QString>
#include <array>
#include <vector>

// One field of a record: a number when the file's text was a number, otherwise text.
class CoverValue {
public:
    CoverValue() = default;
    CoverValue(double n) : number_(n), isNumber_(true) {}
    CoverValue(QString t) : text_(std::move(t)) {}

    bool isNumber() const { return isNumber_; }
    // The number; raises AppError 13 for a text field.
    double number() const;
    // The field as text (numbers written as the data file writes them, with ",").
    QString text() const;

    bool operator==(const CoverValue &o) const = default;

private:
    double number_ = 0;
    QString text_;
    bool isNumber_ = false;
};

// Field positions of a cover-format record.
namespace CoverField {
enum : int {
    Name = 0, Height = 1, Width = 2, LeftOffsetX = 3, LeftOffsetY = 4, RightOffsetX = 5,
    RightOffsetY = 6, Unused = 7, PreviewHeight = 8, PreselectLeft = 9, PreselectRight = 10,
    Crease1 = 11, Crease2 = 12, Orientation = 13, FoldLayout = 14, DisplayName = 15,
};
inline constexpr int kCount = 16;
inline constexpr int kStoredCount = 15; // fields 0..14 are written to the file
}

struct CoverRecord {
    std::array<CoverValue, CoverField::kCount> fields;

    CoverValue &operator[](int i) { return fields.at(size_t(i)); }
    const CoverValue &operator[](int i) const { return fields.at(size_t(i)); }
    double number(int i) const { return fields.at(size_t(i)).number(); }
    QString text(int i) const { return fields.at(size_t(i)).text(); }
    // The line of the data file: fields 0..14 joined by ";".
    QString toLine() const;
    bool operator==(const CoverRecord &o) const = default;
};

class CoverTable {
public:
    enum class State { Unread, Empty, Records };

    CoverTable() = default; // unread
    static CoverTable unread() { return CoverTable(); }
    static CoverTable empty();
    static CoverTable of(std::vector<CoverRecord> records);

    State state() const { return state_; }
    bool isUnread() const { return state_ == State::Unread; }
    bool isEmpty() const { return state_ == State::Empty; }
    bool hasRecords() const { return state_ == State::Records; }

    // The number of records (0 for unread and empty tables).
    int count() const { return int(records_.size()); }
    // A record; raises AppError 9 for an index the table does not have.
    const CoverRecord &at(int index) const;
    CoverRecord &at(int index);
    const std::vector<CoverRecord> &records() const { return records_; }

    // Adds a record at the end (an empty table becomes a table of records); raises AppError
    // for an unread table, which must not be changed.
    void append(CoverRecord record);
    // Removes a record; the last one removed leaves an empty table.
    void removeAt(int index);

    bool operator==(const CoverTable &o) const = default;

private:
    State state_ = State::Unread;
    std::vector<CoverRecord> records_;
};
