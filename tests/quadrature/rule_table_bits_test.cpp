// The bit patterns of every entry of the committed rule tables
// (quadrature/tables/gauss_kronrod15.hpp and patterson.hpp), copied once from
// their hexadecimal literals. A change to a table, even by one unit in the last
// place, fails tools/gen_rules.py --check where Python and mpmath are at
// hand; this test catches it everywhere else. A table regenerated on purpose
// must be copied here again.

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "quadrature/tables/gauss_kronrod15.hpp"
#include "quadrature/tables/patterson.hpp"

namespace triex {
namespace {

// clang-format off
constexpr std::array<std::uint64_t, 8> kXGKBits = {
    0x3fefba009d4d09b1ULL, 0x3fee5f178e7c6229ULL, 0x3febacf827b9bb3eULL, 0x3fe7ba9f9be3a1d6ULL,
    0x3fe2c13a049dfa24ULL, 0x3fd9f95df119fd62ULL, 0x3fca98b2892e0c77ULL, 0x0000000000000000ULL,
};
constexpr std::array<std::uint64_t, 8> kWGKBits = {
    0x3f977c5b67d57470ULL, 0x3fb026cdaa7b61c4ULL, 0x3fbad384a34814c6ULL, 0x3fc200ed0f46e8c1ULL,
    0x3fc5a1f266e47d5cULL, 0x3fc85d6861c80eb1ULL, 0x3fca2adbcbec9cd8ULL, 0x3fcad04f9087090fULL,
};
constexpr std::array<std::uint64_t, 8> kWGBits = {
    0x0000000000000000ULL, 0x3fc092f69f826d57ULL, 0x0000000000000000ULL, 0x3fd1e6b1713d8644ULL,
    0x0000000000000000ULL, 0x3fd86fe74ee32b3dULL, 0x0000000000000000ULL, 0x3fdabfd7e03c2fa6ULL,
};
constexpr std::array<std::uint64_t, 381> kPattersonBits = {
    0x3fe8c97ef43f7248ULL, 0x3fe1c71c71c71c72ULL, 0x3fec71c71c71c71dULL, 0x3fd12ee8ab56666aULL,
    0x3feebc582f66394eULL, 0x3fbacac01c1b4109ULL, 0x3fdbcaa64b7bf6cdULL, 0x3fd9b07ec84a595fULL,
    0x3fdcdbd10ab0dfe7ULL, 0x3fc13484e2ad8285ULL, 0x3faa6bbed9ad68d2ULL, 0x3fc9ae321628cc92ULL,
    0x3fefcd78b076fbf8ULL, 0x3f9168e617253a27ULL, 0x3fec6e420ea07fbbULL, 0x3fb7ca13a0c99743ULL,
    0x3fe3e0134975f094ULL, 0x3fc5f41a2c4ec2f5ULL, 0x3fcc97ef58498009ULL, 0x3fcc0d54f9c3b3b0ULL,
    0x3fccdd872ec4da50ULL, 0x3fb1348702bd2779ULL, 0x3f9a6d4e973edd2cULL, 0x3fb9ae3251f5a16cULL,
    0x3f814624400cff3eULL, 0x3fa7c9fbfe12d60dULL, 0x3fb5f419980d97e9ULL, 0x3fbc0d54d6c852d5ULL,
    0x3feff89ca18764caULL, 0x3f64d8cac8ced34eULL, 0x3fef68b4036ad5cdULL, 0x3f90d73bb9178863ULL,
    0x3fedbfbb8b274e0aULL, 0x3fa268f82d86a9c1ULL, 0x3feac6757984ce84ULL, 0x3fad2c6b13a385f3ULL,
    0x3fe67ad9530e3ed9ULL, 0x3fb3ae61ffc5a917ULL, 0x3fe1009243557e8bULL, 0x3fb7f7f23f637672ULL,
    0x3fd531528125d4bcULL, 0x3fbb0d2ea1195217ULL, 0x3fbccc134beb2c01ULL, 0x3fbca934a42ffac2ULL,
    0x3fbcdd874c115a69ULL, 0x3fa1348702bd9f08ULL, 0x3f8a6d4ebb66aaadULL, 0x3fa9ae3251f5a267ULL,
    0x3f7146818d027eebULL, 0x3f97c9fbfe3a8e5dULL, 0x3fa5f419980d9efbULL, 0x3fac0d54d6c85328ULL,
    0x3f54ba7382220c4cULL, 0x3f80d7397202342eULL, 0x3f9268f82c0ee8eeULL, 0x3f9d2c6b139e1f33ULL,
    0x3fa3ae61ffc58f10ULL, 0x3fa7f7f23f637411ULL, 0x3fab0d2ea1195198ULL, 0x3faca934a42ffa84ULL,
    0x3feffef56d5449c0ULL, 0x3f37cdd862bf47ddULL, 0x3fefe91d19ebd892ULL, 0x3f6520a8d0bbd8d6ULL,
    0x3fefa34e37770969ULL, 0x3f790c92dcca94f5ULL, 0x3fef1c1f4298d875ULL, 0x3f85801ad9232305ULL,
    0x3fee4870d1708aa7ULL, 0x3f8f8d930b21cdcaULL, 0x3fed21c2b14b43b8ULL, 0x3f9516a7a49ebd54ULL,
    0x3feba52242a97e7cULL, 0x3f9a7d94caac6fa5ULL, 0x3fe9d274f351607cULL, 0x3f9fd1beb72e5efdULL,
    0x3fe7ac14de306bb9ULL, 0x3fa277098eaf3b96ULL, 0x3fe5368e51c04900ULL, 0x3fa4d8a9d0c8d2c3ULL,
    0x3fe27863234214c5ULL, 0x3fa6ff099922904aULL, 0x3fdef399065f4280ULL, 0x3fa8dd6c85b295e2ULL,
    0x3fd888f58c03369cULL, 0x3faa691ec97d9964ULL, 0x3fd1c6a730836d76ULL, 0x3fab998069706498ULL,
    0x3fc588bb93b9bc7bULL, 0x3fac680f027ec212ULL, 0x3facd9296bb38f3cULL, 0x3facd06e4089e730ULL,
    0x3facdd874c115a9eULL, 0x3f91348702bd9f0aULL, 0x3f7a6d4ebb66ab22ULL, 0x3f99ae3251f5a267ULL,
    0x3f61468190703f5fULL, 0x3f87c9fbfe3a8e5aULL, 0x3f95f419980d9efcULL, 0x3f9c0d54d6c85326ULL,
    0x3f44bab1dfba4b3dULL, 0x3f70d7397202d996ULL, 0x3f8268f82c0ee8efULL, 0x3f8d2c6b139e1f30ULL,
    0x3f93ae61ffc58f11ULL, 0x3f97f7f23f637412ULL, 0x3f9b0d2ea1195198ULL, 0x3f9ca934a42ffa84ULL,
    0x3f27b09d0969eb6cULL, 0x3f5520a7f0c82638ULL, 0x3f690c92dcab82c5ULL, 0x3f75801ad9231ae8ULL,
    0x3f7f8d930b21cdc1ULL, 0x3f8516a7a49ebd57ULL, 0x3f8a7d94caac6fa2ULL, 0x3f8fd1beb72e5efdULL,
    0x3f9277098eaf3b97ULL, 0x3f94d8a9d0c8d2c3ULL, 0x3f96ff099922904aULL, 0x3f98dd6c85b295e2ULL,
    0x3f9a691ec97d9964ULL, 0x3f9b998069706498ULL, 0x3f9c680f027ec212ULL, 0x3f9cd06e4089e730ULL,
    0x3fefffdb275e5d0aULL, 0x3f0a7ed7026d71ddULL, 0x3feffcb69f36c658ULL, 0x3f38c1897dfd6a9bULL,
    0x3feff235ba77d9a6ULL, 0x3f4ebf9de7d0396dULL, 0x3fefdcf8cc3097dfULL, 0x3f5b8b39681ef2cdULL,
    0x3fefba553c12af50ULL, 0x3f650b172d973248ULL, 0x3fef8829cfa5f4b7ULL, 0x3f6d44e63508c67eULL,
    0x3fef44be481e2049ULL, 0x3f7321f3896112e1ULL, 0x3feeeeb280f09c7cULL, 0x3f77ef4d21cceb8fULL,
    0x3fee84f4ca5a001dULL, 0x3f7cf80b13b4f01fULL, 0x3fee06b87fb4420cULL, 0x3f81160cdcd52f91ULL,
    0x3fed736cecd2fe09ULL, 0x3f83bec0f85a1a89ULL, 0x3feccab5d0e91cb7ULL, 0x3f866ff5a4d5eea2ULL,
    0x3fec0c65dc36f280ULL, 0x3f892412164b5a0eULL, 0x3feb387acdb1ae24ULL, 0x3f8bd5e5c7e7d7e2ULL,
    0x3fea4f1aa21661e1ULL, 0x3f8e808ebef325abULL, 0x3fe9509159e0eae6ULL, 0x3f908fb6560ef0f0ULL,
    0x3fe83d4f03db284dULL, 0x3f91d70df1128769ULL, 0x3fe715e5ddc7cec6ULL, 0x3f93143a2bb25492ULL,
    0x3fe5db087503b009ULL, 0x3f9445452f5bdc9aULL, 0x3fe48d87bed20d1cULL, 0x3f956857f104e97dULL,
    0x3fe32e5126af7f60ULL, 0x3f967bbacce19fddULL, 0x3fe1be6c938e402aULL, 0x3f977dd60c6a6ba3ULL,
    0x3fe03efa6565fb02ULL, 0x3f986d3256b0a7e4ULL, 0x3fdd6262d886f050ULL, 0x3f9948791131d22fULL,
    0x3fda2cb9b33a00cbULL, 0x3f9a0e74b74af7a0ULL, 0x3fd6dfb458bce266ULL, 0x3f9abe112c438dcbULL,
    0x3fd37e2e2fe78fa3ULL, 0x3f9b565c098c5505ULL, 0x3fd00b1ecd1d3370ULL, 0x3f9bd684e8fc1f79ULL,
    0x3fc9132b5bc1914dULL, 0x3f9c3ddda9adfcd6ULL, 0x3fc1f96bd87a624eULL, 0x3f9c8bdaad93e3c4ULL,
    0x3fb59ec7ac2cb354ULL, 0x3f9cc0130db029e5ULL, 0x3f9cdc6fc5f41ebcULL, 0x3f9cda40c312e972ULL,
    0x3f9cdd874c115a9eULL, 0x3f81348702bd9f09ULL, 0x3f6a6d4ebb66ab21ULL, 0x3f89ae3251f5a264ULL,
    0x3f51468190703f61ULL, 0x3f77c9fbfe3a8e5cULL, 0x3f85f419980d9ef9ULL, 0x3f8c0d54d6c85329ULL,
    0x3f34bab1e0fb7130ULL, 0x3f60d7397202d997ULL, 0x3f7268f82c0ee8efULL, 0x3f7d2c6b139e1f32ULL,
    0x3f83ae61ffc58f10ULL, 0x3f87f7f23f63740fULL, 0x3f8b0d2ea1195198ULL, 0x3f8ca934a42ffa84ULL,
    0x3f17b0cfc25d66aeULL, 0x3f4520a7f0c838d2ULL, 0x3f590c92dcab82c7ULL, 0x3f65801ad9231aeaULL,
    0x3f6f8d930b21cdc1ULL, 0x3f7516a7a49ebd55ULL, 0x3f7a7d94caac6fa4ULL, 0x3f7fd1beb72e5efeULL,
    0x3f8277098eaf3b96ULL, 0x3f84d8a9d0c8d2c3ULL, 0x3f86ff099922904aULL, 0x3f88dd6c85b295e2ULL,
    0x3f8a691ec97d9961ULL, 0x3f8b99806970649bULL, 0x3f8c680f027ec212ULL, 0x3f8cd06e4089e733ULL,
    0x3efa6143b04814e5ULL, 0x3f28c188fd0077d4ULL, 0x3f3ebf9de7c9a793ULL, 0x3f4b8b39681ef25aULL,
    0x3f550b172d973248ULL, 0x3f5d44e63508c67eULL, 0x3f6321f3896112e1ULL, 0x3f67ef4d21cceb8fULL,
    0x3f6cf80b13b4f020ULL, 0x3f71160cdcd52f91ULL, 0x3f73bec0f85a1a88ULL, 0x3f766ff5a4d5eea3ULL,
    0x3f792412164b5a0eULL, 0x3f7bd5e5c7e7d7e0ULL, 0x3f7e808ebef325acULL, 0x3f808fb6560ef0f0ULL,
    0x3f81d70df112876aULL, 0x3f83143a2bb25492ULL, 0x3f8445452f5bdc9aULL, 0x3f856857f104e97dULL,
    0x3f867bbacce19fddULL, 0x3f877dd60c6a6ba0ULL, 0x3f886d3256b0a7e4ULL, 0x3f8948791131d22fULL,
    0x3f8a0e74b74af79dULL, 0x3f8abe112c438dcbULL, 0x3f8b565c098c5505ULL, 0x3f8bd684e8fc1f7cULL,
    0x3f8c3ddda9adfcd9ULL, 0x3f8c8bdaad93e3c4ULL, 0x3f8cc0130db029e2ULL, 0x3f8cda40c312e972ULL,
    0x3feffffaf590f2b6ULL, 0x3edd198d71eee701ULL, 0x3fefff8a8d314e9eULL, 0x3f0bee7d26e7a38cULL,
    0x3feffe09b68b4e90ULL, 0x3f21cb2dce3b9529ULL, 0x3feffaec7982a721ULL, 0x3f3055171c1df556ULL,
    0x3feff5b95ce53e9cULL, 0x3f398ad740263484ULL, 0x3fefee057eaaaeaeULL, 0x3f4229c41ffe6d2eULL,
    0x3fefe371a2569620ULL, 0x3f4841f1378e02a6ULL, 0x3fefd5a8e031e4f7ULL, 0x3f4efa44661e73b2ULL,
    0x3fefc45f8d778b21ULL, 0x3f5320c88696ea25ULL, 0x3fefaf51ed3ebf9dULL, 0x3f57049c794b695eULL,
    0x3fef964311b6088aULL, 0x3f5b223d8060dfb8ULL, 0x3fef78fc1ea9cb29ULL, 0x3f5f73dc1b67d187ULL,
    0x3fef574bd7a8bf09ULL, 0x3f61fa013f504fa4ULL, 0x3fef3106525d772dULL, 0x3f644ec0905f6419ULL,
    0x3fef0604b1512d1fULL, 0x3f66b5b744b48a44ULL, 0x3feed624db57a99eULL, 0x3f692c9635aa6a64ULL,
    0x3feea1492e89deb0ULL, 0x3f6bb1355a36be0dULL, 0x3fee67583249108fULL, 0x3f6e41932bb14e48ULL,
    0x3fee283c4c7bc59fULL, 0x3f706de90fdeddb9ULL, 0x3fede3e37d30bed8ULL, 0x3f71bf1a743659b4ULL,
    0x3fed9a3f2261be34ULL, 0x3f73138d17d53323ULL, 0x3fed4b43c44b9f02ULL, 0x3f746a7c2cc08cc9ULL,
    0x3fecf6e8e9ec90b4ULL, 0x3f75c32cd35c8b9aULL, 0x3fec9d28f4b2d9efULL, 0x3f771cec733e5a79ULL,
    0x3fec3e01022a9768ULL, 0x3f78770f6320c085ULL, 0x3febd970d2707b60ULL, 0x3f79d0efdd681f48ULL,
    0x3feb6f7ab246b9b2ULL, 0x3f7b29ed38d6ff96ULL, 0x3feb002367d0de6fULL, 0x3f7c816b5a785352ULL,
    0x3fea8b722128c2daULL, 0x3f7dd6d25545cb93ULL, 0x3fea1170642b7c77ULL, 0x3f7f298e2cd752eeULL,
    0x3fe99229ff053373ULL, 0x3f803c8758ebcf3aULL, 0x3fe90dacf9248c94ULL, 0x3f80e263b852fa00ULL,
    0x3fe8840984595c0eULL, 0x3f818617d619d65dULL, 0x3fe7f551edf713b6ULL, 0x3f82276130539272ULL,
    0x3fe7619a8fe2a533ULL, 0x3f82c5ff254664aaULL, 0x3fe6c8f9c17e5a99ULL, 0x3f8361b2f82f117cULL,
    0x3fe62b87c86d6ec3ULL, 0x3f83fa3fd6752322ULL, 0x3fe5895ec92dd180ULL, 0x3f848f6adcdd7958ULL,
    0x3fe4e29ab7893ed4ULL, 0x3f8520fb1c7bad85ULL, 0x3fe4375946e039acULL, 0x3f85aeb99f451aeeULL,
    0x3fe387b9da520533ULL, 0x3f8638716c3e43beULL, 0x3fe2d3dd74c4b995ULL, 0x3f86bdef8b4837e2ULL,
    0x3fe21be6a8d045c9ULL, 0x3f873f03089a4ac5ULL, 0x3fe15ff9888ec141ULL, 0x3f87bb7cf7f6e33aULL,
    0x3fe0a03b9553f981ULL, 0x3f88333077aa0c87ULL, 0x3fdfb9a75e9b7016ULL, 0x3f88a5f2b35ec806ULL,
    0x3fde2bd40a1bbd2aULL, 0x3f89139ae6d5b4e0ULL, 0x3fdc975005fe5ad7ULL, 0x3f897c026084f70bULL,
    0x3fdafc70858aa61aULL, 0x3f89df048426ace7ULL, 0x3fd95b8cf51186c6ULL, 0x3f8a3c7ecd38e4fdULL,
    0x3fd7b4fed85d8b35ULL, 0x3f8a9450d16fffc9ULL, 0x3fd60921a8fc4e6cULL, 0x3f8ae65c431ac157ULL,
    0x3fd45852b4621c80ULL, 0x3f8b3284f3760bdaULL, 0x3fd2a2f0f9e8f160ULL, 0x3f8b78b0d4ed4764ULL,
    0x3fd0e95d08ac23b5ULL, 0x3f8bb8c7fd43d337ULL, 0x3fce57f1ba849628ULL, 0x3f8bf2b4a7a37665ULL,
    0x3fcad64f7eae66c9ULL, 0x3f8c2663368b9601ULL, 0x3fc74e9c3e4fe5baULL, 0x3f8c53c2359cf583ULL,
    0x3fc3c1a2e5c6f675ULL, 0x3f8c7ac25b3de814ULL, 0x3fc0303027e47c61ULL, 0x3f8c9b568a1318cdULL,
    0x3fb93624709ee131ULL, 0x3f8cb573d2496628ULL, 0x3fb206310b83aa60ULL, 0x3f8cc91172adb428ULL,
    0x3fa5a44dd097cb33ULL, 0x3f8cd628d9900d0cULL, 0x3f8cdd4169a9acfeULL, 0x3f8cdcb5a56fe67aULL,
    0x3f8cdd874c115a9eULL,
};
// clang-format on

template <std::size_t N>
void expect_bits(const std::array<double, N>& table, const std::array<std::uint64_t, N>& expected, const char* name) {
  for (std::size_t i = 0; i < N; ++i) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(table[i]), expected[i]) << name << "(" << i + 1 << ") = " << table[i];
  }
}

TEST(RuleTableBits, EveryGaussKronrodEntryHasItsCommittedBits) {
  expect_bits(XGK, kXGKBits, "XGK");
  expect_bits(WGK, kWGKBits, "WGK");
  expect_bits(WG, kWGBits, "WG");
}

TEST(RuleTableBits, EveryPattersonEntryHasItsCommittedBits) { expect_bits(kPattersonTable, kPattersonBits, "entry"); }

}  // namespace
}  // namespace triex
