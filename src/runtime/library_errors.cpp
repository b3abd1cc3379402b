// What the C++ library's own checks throw (a position past the end of a
// string, a length past its maximum), defined here in place of libstdc++'s.
// Its std::length_error and kin keep their message in a reference-counted
// string, and that one object brings in both of libstdc++'s string
// instantiations and more: some 80 KB for exceptions that, like every other
// one nobody catches, only end the program as run-time error 217. Linked as a
// plain object into every executable, so libstdc++'s copy is never taken.
#include <exception>
#include <new>
#include <typeinfo>

namespace {

// A failed check of the library: the message is one of its literals.
class TLibraryCheckError : public std::exception {
 public:
  explicit TLibraryCheckError(const char* message) : message(message) {}
  const char* what() const noexcept override { return message; }

 private:
  const char* message;
};

}  // namespace

namespace std {

void __throw_bad_alloc() {
  throw bad_alloc();
}
void __throw_bad_array_new_length() {
  throw bad_array_new_length();
}
void __throw_bad_cast() {
  throw bad_cast();
}
void __throw_bad_typeid() {
  throw bad_typeid();
}
void __throw_bad_exception() {
  throw bad_exception();
}

void __throw_logic_error(const char* message) {
  throw TLibraryCheckError(message);
}
void __throw_domain_error(const char* message) {
  throw TLibraryCheckError(message);
}
void __throw_invalid_argument(const char* message) {
  throw TLibraryCheckError(message);
}
void __throw_length_error(const char* message) {
  throw TLibraryCheckError(message);
}
void __throw_out_of_range(const char* message) {
  throw TLibraryCheckError(message);
}
// The message keeps its placeholders: formatting it would bring printf in.
void __throw_out_of_range_fmt(const char* format, ...) {
  throw TLibraryCheckError(format);
}
void __throw_runtime_error(const char* message) {
  throw TLibraryCheckError(message);
}
void __throw_range_error(const char* message) {
  throw TLibraryCheckError(message);
}
void __throw_overflow_error(const char* message) {
  throw TLibraryCheckError(message);
}
void __throw_underflow_error(const char* message) {
  throw TLibraryCheckError(message);
}

}  // namespace std
