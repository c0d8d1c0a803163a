// A non-owning, non-allocating reference to a callable: the way the library
// receives its integrands and limit functions. One indirect call per use;
// accepts plain functions, lambdas and capturing test spies alike. The
// referenced callable must outlive the function_ref.
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

namespace triex {

template <class Signature>
class function_ref;

template <class R, class... Args>
class function_ref<R(Args...)> {
 public:
  // A plain function: stored as a function pointer, no object needed.
  function_ref(R (*fn)(Args...)) noexcept : fn_(fn), call_(&call_function) {}

  template <class F>
    requires(!std::is_same_v<std::remove_cvref_t<F>, function_ref> &&
             !std::is_function_v<std::remove_reference_t<F>> &&
             std::is_invocable_r_v<R, F&, Args...>)
  function_ref(F&& f) noexcept
      : obj_(const_cast<void*>(static_cast<const void*>(std::addressof(f)))),
        call_(&call_object<std::remove_reference_t<F>>) {}

  R operator()(Args... args) const { return call_(*this, std::forward<Args>(args)...); }

 private:
  union {
    void* obj_;
    R (*fn_)(Args...);
  };
  R (*call_)(const function_ref&, Args...);

  static R call_function(const function_ref& self, Args... args) {
    return self.fn_(std::forward<Args>(args)...);
  }
  template <class F>
  static R call_object(const function_ref& self, Args... args) {
    return (*static_cast<F*>(self.obj_))(std::forward<Args>(args)...);
  }
};

}  // namespace triex
