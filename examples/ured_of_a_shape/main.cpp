// The reduced excluded volume of the ellipsoid with semi-axes 3, 2, 1, exact
// and by the quadrature of the interactive program, with all 17 significant
// digits a double needs to be read back.
#include <cstdio>
#include <stdexcept>

#include <triex/triex.hpp>

int main() {
  try {
    std::printf("ured exact      = %.17g\n", triex::ured(3, 2, 1));
    std::printf("ured quadrature = %.17g\n", triex::quadrature(3, 2, 1).ured);
    triex::ured(3, 2, 0);  // a flat shape has no volume: refused
  } catch (const std::invalid_argument& e) {
    std::printf("refused: %s\n", e.what());
  }
  return 0;
}
