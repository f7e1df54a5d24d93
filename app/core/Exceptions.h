// The program's exception classes. Every error the program raises derives from Exception, so
// one top-level handler can show any error's message (what()).
#pragma once

#include <exception>
#include <string>

// Base class of the program's errors: a message text and a help context number.
class Exception : public std::exception {
public:
    explicit Exception(std::string message, int helpContext = 0);

    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }
    int HelpContext() const noexcept { return helpContext_; }

private:
    std::string message_;
    int helpContext_;
};

// An index outside a list: "List index out of bounds (%d)" with the index in place of %d.
class EListError : public Exception {
public:
    explicit EListError(long long index);
};

// Reading past the end of a stream: "Stream read error".
class EReadError : public Exception {
public:
    EReadError();
};

// A stream value of a kind that was not expected there: "Invalid property value".
class EPropertyError : public Exception {
public:
    EPropertyError();
};

// A text that is not a valid value of the wanted kind, e.g. "'%s' is not a valid integer value".
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A file that exists but cannot be read: "Cannot open file %s" with the file name.
class EFOpenError : public Exception {
public:
    explicit EFOpenError(const std::string& fileName);
};

// A file that cannot be written: "Cannot create file %s" with the file name.
class EFCreateError : public Exception {
public:
    explicit EFCreateError(const std::string& fileName);
};

// A settings file larger than any the program writes, refused before it is read: "Settings
// file %s was not read: it holds %llu bytes, more than the 16 MB a settings file may hold. The
// file is left as it is."
class EFTooLargeError : public Exception {
public:
    EFTooLargeError(const std::string& fileName, unsigned long long size);
};
