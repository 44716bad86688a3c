#include "core/CoverTable.h"

#include "core/AppError.h"
#include "core/Numbers.h"

double CoverValue::number() const
{
    if (!isNumber_)
        throw AppError(ErrNo::TypeMismatch);
    return number_;
}

QString CoverValue::text() const { return isNumber_ ? formatDataNumber(number_) : text_; }

QString CoverRecord::toLine() const
{
    QStringList parts;
    for (int i = 0; i < CoverField::kStoredCount; ++i)
        parts << fields[size_t(i)].text();
    return parts.join(u';');
}

CoverTable CoverTable::empty()
{
    CoverTable t;
    t.state_ = State::Empty;
    return t;
}

CoverTable CoverTable::of(std::vector<CoverRecord> records)
{
    if (records.empty())
        return empty();
    CoverTable t;
    t.state_ = State::Records;
    t.records_ = std::move(records);
    return t;
}

const CoverRecord &CoverTable::at(int index) const
{
    if (index < 0 || index >= count())
        throw AppError(ErrNo::SubscriptOutOfRange);
    return records_[size_t(index)];
}

CoverRecord &CoverTable::at(int index)
{
    return const_cast<CoverRecord &>(std::as_const(*this).at(index));
}

void CoverTable::append(CoverRecord record)
{
    if (isUnread())
        throw AppError(ErrNo::SubscriptOutOfRange);
    records_.push_back(std::move(record));
    state_ = State::Records;
}

void CoverTable::removeAt(int index)
{
    at(index);
    records_.erase(records_.begin() + index);
    if (records_.empty())
        state_ = State::Empty;
}
