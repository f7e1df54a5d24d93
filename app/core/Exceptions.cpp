// The program's exception classes and their message texts.
#include "Exceptions.h"

#include <utility>

Exception::Exception(std::string message, int helpContext)
    : message_(std::move(message)), helpContext_(helpContext) {}

EListError::EListError(long long index)
    : Exception("List index out of bounds (" + std::to_string(index) + ")") {}

EReadError::EReadError() : Exception("Stream read error") {}

EPropertyError::EPropertyError() : Exception("Invalid property value") {}

EFOpenError::EFOpenError(const std::string& fileName) : Exception("Cannot open file " + fileName) {}

EFCreateError::EFCreateError(const std::string& fileName)
    : Exception("Cannot create file " + fileName) {}

EFTooLargeError::EFTooLargeError(const std::string& fileName, unsigned long long size)
    : Exception("Settings file " + fileName + " was not read: it holds " + std::to_string(size) +
                " bytes, more than the 16 MB a settings file may hold. The file is left as it "
                "is.") {}
