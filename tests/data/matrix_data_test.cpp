// MatrixData through its public interface: shape, row-major layout, reshaping, bad input.
#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

#include <utility>

using kelmira::ComPtr;

namespace {

ComPtr<IMatrixData> NewMatrix() {
  ComPtr<IMatrixData> m;
  EXPECT_EQ(CoCreateInstance(CLSID_MatrixData, nullptr, CLSCTX_INPROC_SERVER, IID_IMatrixData,
                             reinterpret_cast<void**>(&m)),
            S_OK);
  return m;
}

void ExpectShape(IMatrixData* m, LONG rows, LONG columns) {
  LONG r = -1, c = -1;
  EXPECT_EQ(m->get_Rows(&r), S_OK);
  EXPECT_EQ(m->get_Columns(&c), S_OK);
  EXPECT_EQ(r, rows);
  EXPECT_EQ(c, columns);
}

float* Values(IMatrixData* m) {
  float* p = nullptr;
  EXPECT_EQ(m->GetDataPtr(&p), S_OK);
  return p;
}

VARIANT_BOOL Resize(IMatrixData* m, LONG rows, LONG columns) {
  VARIANT_BOOL ok = 1;
  EXPECT_EQ(m->SetSize(rows, columns, &ok), S_OK);
  return ok;
}

}  // namespace

TEST(MatrixDataTest, ElementsLieRowByRow) {
  ComPtr<IMatrixData> m = NewMatrix();
  ASSERT_TRUE(m);
  ExpectShape(m.get(), 0, 0);
  EXPECT_EQ(Values(m.get()), nullptr);

  EXPECT_EQ(Resize(m.get(), 2, 3), VARIANT_TRUE);
  ExpectShape(m.get(), 2, 3);
  float* values = Values(m.get());
  ASSERT_NE(values, nullptr);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(values[i], 0.0f) << i;  // cleared
  EXPECT_EQ(m->put_Data(1, 2, 7.5f), S_OK);
  EXPECT_EQ(values[5], 7.5f);
  float* row = nullptr;
  EXPECT_EQ(m->GetRowDataPtr(1, &row), S_OK);
  EXPECT_EQ(row, values + 3);
  row[0] = -2.0f;
  float v = 0;
  EXPECT_EQ(m->get_Data(1, 0, &v), S_OK);
  EXPECT_EQ(v, -2.0f);

  // Single precision through IDispatch as well as the vtable: 0.1 reads back as the float.
  EXPECT_EQ(m->put_Data(0, 1, 0.1f), S_OK);
  EXPECT_EQ(m->get_Data(0, 1, &v), S_OK);
  EXPECT_EQ(static_cast<double>(v), static_cast<double>(0.1f));
}

TEST(MatrixDataTest, ReshapingKeepsLinearOrder) {
  ComPtr<IMatrixData> m = NewMatrix();
  ASSERT_EQ(Resize(m.get(), 2, 3), VARIANT_TRUE);
  float* values = Values(m.get());
  for (int i = 0; i < 6; ++i) values[i] = static_cast<float>(i);

  // Same element count: same array, values move to other cells.
  ASSERT_EQ(Resize(m.get(), 3, 2), VARIANT_TRUE);
  ExpectShape(m.get(), 3, 2);
  EXPECT_EQ(Values(m.get()), values);
  float v = -1;
  EXPECT_EQ(m->get_Data(1, 1, &v), S_OK);
  EXPECT_EQ(v, 3.0f);

  // Growing keeps the leading six in order and clears the rest.
  ASSERT_EQ(Resize(m.get(), 4, 2), VARIANT_TRUE);
  float* grown = Values(m.get());
  EXPECT_NE(grown, values);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(grown[i], static_cast<float>(i)) << i;
  EXPECT_EQ(grown[6], 0.0f);
  EXPECT_EQ(grown[7], 0.0f);

  // Shrinking keeps the leading elements.
  ASSERT_EQ(Resize(m.get(), 1, 4), VARIANT_TRUE);
  for (LONG c = 0; c < 4; ++c) {
    EXPECT_EQ(m->get_Data(0, c, &v), S_OK);
    EXPECT_EQ(v, static_cast<float>(c));
  }

  // No elements, no array; the shape is still what was asked for.
  ASSERT_EQ(Resize(m.get(), 0, 5), VARIANT_TRUE);
  ExpectShape(m.get(), 0, 5);
  EXPECT_EQ(Values(m.get()), nullptr);
}

TEST(MatrixDataTest, BadInputKeepsTheShape) {
  ComPtr<IMatrixData> m = NewMatrix();
  ASSERT_EQ(Resize(m.get(), 2, 3), VARIANT_TRUE);
  float* values = Values(m.get());
  values[4] = 9.0f;

  EXPECT_EQ(Resize(m.get(), -1, 3), VARIANT_FALSE);
  EXPECT_EQ(Resize(m.get(), 2, -3), VARIANT_FALSE);
  // Too large to allocate, including a byte count beyond 64 bits.
  EXPECT_EQ(Resize(m.get(), 0x7FFFFFFF, 0x7FFFFFFF), VARIANT_FALSE);
  EXPECT_EQ(Resize(m.get(), 0x8000, 0x8000), VARIANT_FALSE);
  ExpectShape(m.get(), 2, 3);
  EXPECT_EQ(Values(m.get()), values);
  EXPECT_EQ(values[4], 9.0f);

  float v = 0;
  float* row = nullptr;
  for (auto [r, c] : {std::pair{-1, 0}, {2, 0}, {0, -1}, {0, 3}, {1, 0x7FFFFFFF}}) {
    EXPECT_EQ(m->get_Data(r, c, &v), E_INVALIDARG) << r << "," << c;
    EXPECT_EQ(m->put_Data(r, c, 1.0f), E_INVALIDARG) << r << "," << c;
  }
  EXPECT_EQ(m->GetRowDataPtr(2, &row), E_INVALIDARG);
  EXPECT_EQ(m->GetRowDataPtr(-1, &row), E_INVALIDARG);
  EXPECT_EQ(row, nullptr);
  EXPECT_EQ(m->SetSize(4, 4, nullptr), E_POINTER);
  ExpectShape(m.get(), 2, 3);
  EXPECT_EQ(m->get_Rows(nullptr), E_POINTER);
  EXPECT_EQ(m->GetDataPtr(nullptr), E_POINTER);
  EXPECT_EQ(m->GetRowDataPtr(0, nullptr), E_POINTER);
}
