// Exception.h: the one exception base of Quenlo and the framework's common errors.
// Exception carries the message that the application's standard handler shows.
#ifndef QUENLO_TOOLKIT_EXCEPTION_H
#define QUENLO_TOOLKIT_EXCEPTION_H

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : m_message(std::move(message)) {}
    const char *what() const noexcept override { return m_message.c_str(); }
    const std::string &Message() const noexcept { return m_message; }

private:
    std::string m_message;
};

// A list index outside 0 .. Count-1.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// Assign from an object of an unrelated class.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Reading or writing a file or stream failed.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};

#endif
