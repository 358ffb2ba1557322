// The errors the display, the surfaces and the image list raise.
#pragma once

#include <stdexcept>

class EDirectDrawError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EDXDrawError : public EDirectDrawError {
public:
    using EDirectDrawError::EDirectDrawError;
};
class EPictureCollectionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
