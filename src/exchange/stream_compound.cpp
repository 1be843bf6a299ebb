#include "exchange/stream_compound.h"

#include <cstdint>
#include <utility>

namespace tallowmere::exchange {

CompoundStream::CompoundStream(std::unique_ptr<Stream> first, std::unique_ptr<Stream> second)
    : first_(std::move(first)), second_(std::move(second)) {
    if (!first_ || !second_)
        return;
    const std::optional<std::size_t> a = first_->GetSize();
    const std::optional<std::size_t> b = second_->GetSize();
    if (!a || !b || *b > SIZE_MAX - *a)
        return;
    firstSize_ = *a;
    secondSize_ = *b;
    ok_ = true;
    Seek(0);
}

Stream* CompoundStream::Current() const {
    if (!ok_)
        return nullptr;
    return position_ < firstSize_ ? first_.get() : second_.get();
}

std::optional<std::size_t> CompoundStream::GetSize() {
    if (!ok_)
        return std::nullopt;
    return firstSize_ + secondSize_;
}

bool CompoundStream::Seek(std::size_t position) {
    if (!ok_)
        return false;
    const bool inside = position <= firstSize_ + secondSize_;
    if (!inside)
        position = firstSize_ + secondSize_;
    position_ = position;
    bool done;
    if (position < firstSize_) {
        const bool a = first_->Seek(position);
        const bool b = second_->Seek(0);
        done = a && b;
    } else {
        done = second_->Seek(position - firstSize_);
    }
    return done && inside;
}

bool CompoundStream::ReadBlock(const std::uint8_t*& data, std::size_t& length) {
    Stream* part = Current();
    if (part == nullptr || !part->ReadBlock(data, length))
        return false;
    position_ += length;
    return true;
}

bool CompoundStream::ReadByte(std::uint8_t& byte) {
    Stream* part = Current();
    if (part == nullptr || !part->ReadByte(byte))
        return false;
    ++position_;
    return true;
}

bool CompoundStream::PeekByte(std::uint8_t& byte) {
    Stream* part = Current();
    return part != nullptr && part->PeekByte(byte);
}

}  // namespace tallowmere::exchange
