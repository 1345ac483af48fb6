// MatrixData through its public interface: row-major layout, reshaping, bad input.
#include "support/create.h"
#include "support/property.h"

#include <tuple>

namespace kelmira::test {
namespace {

struct Matrix {
  float* Values() { return Get(m.get(), &IMatrixData::GetDataPtr); }
  float At(LONG r, LONG c) {
    float v = -7;
    EXPECT_EQ(m->get_Data(r, c, &v), S_OK);
    return v;
  }
  VARIANT_BOOL Resize(LONG r, LONG c) {
    VARIANT_BOOL ok = 1;
    EXPECT_EQ(m->SetSize(r, c, &ok), S_OK);
    return ok;
  }
  ComPtr<IMatrixData> m = Create<IMatrixData>(CLSID_MatrixData);
};

TEST(MatrixDataTest, RowMajorReshapedInLinearOrderAndKeptOnBadInput) {
  Matrix x;
  EXPECT_EQ(x.Values(), nullptr);
  ASSERT_EQ(x.Resize(2, 3), VARIANT_TRUE);
  float* values = x.Values();
  float* row = nullptr;
  EXPECT_EQ(x.m->put_Data(1, 2, 7.5f) | x.m->GetRowDataPtr(1, &row), S_OK);
  EXPECT_EQ(std::pair(values[5], row), std::pair(7.5f, values + 3));
  for (int i = 0; i < 6; ++i) values[i] = static_cast<float>(i);

  // Bad sizes keep the shape: negative, too large to allocate, and an element count whose byte
  // count passes 64 bits. Cells outside are reported.
  for (auto [r, c] : {std::pair{-1, 3}, {2, -3}, {0x8000, 0x8000}, {0x7FFFFFFF, 0x7FFFFFFF}})
    EXPECT_EQ(x.Resize(r, c), VARIANT_FALSE) << r << " x " << c;
  EXPECT_EQ(std::tuple(Get(x.m.get(), &IMatrixData::get_Rows), Get(x.m.get(), &IMatrixData::get_Columns), x.Values(),
                       x.At(1, 1)),
            std::tuple(2, 3, values, 4.0f));
  float v = 0;
  for (auto [r, c] : {std::pair{-1, 0}, {2, 0}, {0, 3}, {1, 0x7FFFFFFF}})
    EXPECT_EQ(x.m->put_Data(r, c, v), E_INVALIDARG) << r << "," << c;
  EXPECT_EQ(std::pair(x.m->get_Data(0, -1, &v), x.m->GetRowDataPtr(2, &row)), std::pair(E_INVALIDARG, E_INVALIDARG));

  ASSERT_EQ(x.Resize(3, 2), VARIANT_TRUE);  // same count: same array, values move to other cells
  EXPECT_EQ(std::pair(x.Values(), x.At(1, 1)), std::pair(values, 3.0f));
  ASSERT_EQ(x.Resize(4, 2), VARIANT_TRUE);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(x.Values()[i], i < 6 ? static_cast<float>(i) : 0.0f) << i;
  ASSERT_EQ(x.Resize(1, 4), VARIANT_TRUE);
  EXPECT_EQ(x.At(0, 3), 3.0f);
}

}  // namespace
}  // namespace kelmira::test
