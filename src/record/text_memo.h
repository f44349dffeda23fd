// What a short Latin-1 text of a result file stands for, kept once worked out: the row
// names, values and limits of a station's files come again and again (the history
// reads a hundred thousand files), and each is then found by its bytes, without the
// text being copied or converted first. Meant to be kept by one thread.
#pragma once

#include <QByteArrayView>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace celvio {

template <typename Value>
class TextMemo {
public:
    // `limit`: the most texts kept; past it the memo starts afresh (a file of nothing but
    // unusual texts must not make it grow without end).
    explicit TextMemo(size_t limit = 1024) : limit_(limit) {}

    // The value of `text`, made by `make()` when the text is new. A null text (no text
    // at all) is kept apart from an empty one, as QString keeps them apart.
    template <typename Make>
    Value Get(QByteArrayView text, Make&& make)
    {
        if (text.isNull()) {
            if (!null_)
                null_ = make();
            return *null_;
        }
        const std::string_view key(text.data(), size_t(text.size()));
        const auto known = values_.find(key);
        if (known != values_.end())
            return known->second;
        if (values_.size() >= limit_)
            values_.clear();
        return values_.emplace(std::string(key), make()).first->second;
    }

private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    std::unordered_map<std::string, Value, Hash, std::equal_to<>> values_;
    std::optional<Value> null_;
    size_t limit_;
};

}  // namespace celvio
