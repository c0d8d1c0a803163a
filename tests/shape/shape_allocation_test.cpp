// The shape section allocates nothing: from its start to URED, through the
// ten one-dimensional integrals and both double integrals, no operator new
// is called. The global allocation functions of this test program are
// replaced by counting ones.

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

#include "shape/params.hpp"
#include "shape/shape_section.hpp"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* allocate(std::size_t size) {
  if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size == 0 ? 1 : size);
}

void* allocate_aligned(std::size_t size, std::align_val_t alignment) {
  if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
  const std::size_t align = static_cast<std::size_t>(alignment);
  const std::size_t rounded = (size + align - 1) / align * align;
  return std::aligned_alloc(align, rounded == 0 ? align : rounded);
}

void* allocate_or_throw(std::size_t size) {
  if (void* p = allocate(size)) return p;
  throw std::bad_alloc();
}

void* allocate_aligned_or_throw(std::size_t size, std::align_val_t alignment) {
  if (void* p = allocate_aligned(size, alignment)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return allocate_or_throw(size); }
void* operator new[](std::size_t size) { return allocate_or_throw(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new(std::size_t size, std::align_val_t a) { return allocate_aligned_or_throw(size, a); }
void* operator new[](std::size_t size, std::align_val_t a) { return allocate_aligned_or_throw(size, a); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
  return allocate_aligned(size, a);
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
  return allocate_aligned(size, a);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }

namespace triex {
namespace {

// Allocations made by body.
template <class Body>
long allocations_in(Body body) {
  allocations = 0;
  counting = true;
  body();
  counting = false;
  return allocations.load();
}

TEST(ShapeAllocation, TheCounterSeesAnAllocation) {
  const long n = allocations_in([] {
    void* p = ::operator new(64);
    ::operator delete(p);
    // Called as functions: a new-expression that is freed at once may be elided (clang does).
    void* q = ::operator new[](3 * sizeof(int));
    ::operator delete[](q);
  });
  EXPECT_EQ(n, 2);
}

// Spheres, the table shapes, needles and discs whose integrations run to the
// largest rules and fail silently, and a shape entered as axial ratios.
TEST(ShapeAllocation, TheShapeSectionAllocatesNothing) {
  struct Axes {
    double A, B, C;
  };
  const Axes shapes[] = {{1, 1, 1},   {0.1, 0.1, 0.1}, {3, 2, 1},       {1, 2, 3},     {100, 1, 1},
                         {50, 20, 1}, {1000, 1, 1},    {10000, 100, 1}, {1, 1, 0.001}, {1.5 * 2, 2, 1}};
  for (const Axes& axes : shapes) {
    ShapeResult result;
    const long n = allocations_in([&result, &axes] { result = shape_section(from_semi_axes(axes.A, axes.B, axes.C)); });
    EXPECT_EQ(n, 0) << axes.A << ", " << axes.B << ", " << axes.C;
    EXPECT_GT(result.URED, 0.0);      // the section ran
    EXPECT_GT(result.ALPHA[9], 0.0);  // through all ten one-dimensional integrals
  }
}

}  // namespace
}  // namespace triex
