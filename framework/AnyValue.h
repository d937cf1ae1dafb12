#pragma once

#include <memory>
#include <utility>

// Type-erased event value. Receivers recover the content with a checked
// down-cast; a mismatch is a programming error between modules and throws
// the C string "error type".
class BaseAnyValueContent {
public:
    virtual ~BaseAnyValueContent() = default;
};

template <typename T> class AnyValueContent : public BaseAnyValueContent {
public:
    explicit AnyValueContent(T v) : value(std::move(v)) {}
    T value;
};

class AnyValue {
public:
    AnyValue() = default;
    template <typename T>
    AnyValue(AnyValueContent<T>* content) : m_content(content) {} // takes ownership
    template <typename T> static AnyValue of(T v) {
        return AnyValue(new AnyValueContent<T>(std::move(v)));
    }

    bool isEmpty() const { return !m_content; }
    const BaseAnyValueContent* content() const { return m_content.get(); }

    template <typename T> bool holds() const {
        return dynamic_cast<const AnyValueContent<T>*>(m_content.get()) != nullptr;
    }
    // Checked down-cast; throws "error type" when the content is of another type.
    template <typename T> const T& as() const {
        auto* typed = dynamic_cast<const AnyValueContent<T>*>(m_content.get());
        if (!typed)
            throw "error type";
        return typed->value;
    }

private:
    std::shared_ptr<BaseAnyValueContent> m_content;
};
