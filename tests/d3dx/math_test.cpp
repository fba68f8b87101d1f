// The D3DX vector and matrix helpers against values worked out from their definitions. (The rotations
// and their yaw-pitch-roll order are pinned down by the game's own tests: look, movement, objects, gun.)
#include <d3dx9.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

void expectMatrixNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected, float tolerance = 1e-5f) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(actual.m[r][c], expected.m[r][c], tolerance) << "[" << r << "][" << c << "]";
}

void expectVectorNear(const D3DXVECTOR3& v, float x, float y, float z, float tolerance = 1e-5f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

// Which operand comes first, in the function and in operator*, the door, gun and object tests pin down.
TEST(D3dxMath, MultiplyMayWriteOverItsFirstOperand) {
    // Full matrices, so that a product written over its operand while still reading it comes out wrong.
    D3DXMATRIX s(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16),
        t(2, 0, 1, 0, 0, 3, 0, 1, 1, 0, 4, 0, 5, 6, 7, 1);
    D3DXMATRIX m;
    D3DXMatrixMultiply(&m, &s, &t);
    D3DXMatrixMultiply(&s, &s, &t);  // out aliases the first operand
    EXPECT_EQ(s, m);
}

TEST(D3dxMath, TransformCoordDividesByWAndNormalIgnoresTranslation) {
    D3DXMATRIX m(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 5, 6, 7, 0);  // w = z
    D3DXVECTOR3 p(2, 4, 2), out;
    D3DXVec3TransformCoord(&out, &p, &m);
    expectVectorNear(out, 3.5f, 5.0f, 4.5f);
    D3DXMATRIX t;
    D3DXMatrixScaling(&t, 2, 2, 2);
    t._41 = 100;
    D3DXVECTOR3 n(0, 1, 0);
    D3DXVec3TransformNormal(&out, &n, &t);
    expectVectorNear(out, 0, 2, 0);  // not renormalised
}

TEST(D3dxMath, VectorHelpers) {
    D3DXVECTOR3 a(1, 2, 3), b(4, 5, 6), out;
    EXPECT_FLOAT_EQ(D3DXVec3Dot(&a, &b), 32.0f);
    D3DXVec3Cross(&out, &a, &b);
    expectVectorNear(out, -3, 6, -3);
    EXPECT_FLOAT_EQ(D3DXVec3Length(&a), std::sqrt(14.0f));
    D3DXVec3Normalize(&out, &b);
    expectVectorNear(out, 4 / std::sqrt(77.0f), 5 / std::sqrt(77.0f), 6 / std::sqrt(77.0f));
    D3DXVECTOR3 zero(0, 0, 0);
    out = D3DXVECTOR3(9, 9, 9);
    D3DXVec3Normalize(&out, &zero);
    EXPECT_EQ(out, zero);
    EXPECT_EQ(a + b * 2.0f - D3DXVECTOR3(1, 1, 1), D3DXVECTOR3(8, 11, 14));
}

TEST(D3dxMath, InverseUndoesAndASingularMatrixLeavesOutputAndDeterminantAlone) {
    D3DXMATRIX r, t, m, inv, product;
    D3DXMatrixRotationYawPitchRoll(&r, 0.3f, 0.2f, 0.0f);
    D3DXMatrixTranslation(&t, 100, -50, 2000);
    D3DXMatrixMultiply(&m, &r, &t);
    float det = 0;
    ASSERT_EQ(D3DXMatrixInverse(&inv, &det, &m), &inv);
    EXPECT_NEAR(det, 1.0f, 1e-5f);
    D3DXMatrixMultiply(&product, &m, &inv);
    D3DXMATRIX identity;
    expectMatrixNear(product, *D3DXMatrixIdentity(&identity), 5e-4f);  // float rounding of the 2000-unit translation

    D3DXMATRIX singular;
    D3DXMatrixScaling(&singular, 1, 0, 1);
    D3DXMATRIX untouched(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16), kept = untouched;
    det = 42.0f;
    EXPECT_EQ(D3DXMatrixInverse(&untouched, &det, &singular), nullptr);
    EXPECT_EQ(det, 42.0f);  // the determinant is not written either
    EXPECT_EQ(untouched, kept);
}

TEST(D3dxMath, LookAtAndPerspectiveMatchTheirDefinitions) {
    D3DXVECTOR3 eye(0, 10, -20), at(0, 10, 0), up(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    expectMatrixNear(view, D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, -10, 20, 1));
    // A turned camera: looking along +x puts world +x on view +z and world -z on view +x.
    D3DXVECTOR3 at2(5, 10, -20), out, probe(0, 10, -21);
    D3DXMatrixLookAtLH(&view, &eye, &at2, &up);
    D3DXVec3TransformCoord(&out, &probe, &view);
    expectVectorNear(out, 1, 0, 0);

    D3DXMATRIX proj;
    D3DXMatrixPerspectiveFovLH(&proj, 0.8726646304130554f, 1.3333333730697632f, 1.0f, 1000.0f);
    const float ys = 1.0f / std::tan(0.8726646304130554f / 2);
    // z: far / (far - near) = 1000 / 999 and -near · far / (far - near), so the near plane lands on depth 0
    // and the far plane on 1.
    expectMatrixNear(proj, D3DXMATRIX(ys / 1.3333333730697632f, 0, 0, 0, 0, ys, 0, 0, 0, 0, 1000.0f / 999.0f, 1, 0, 0,
                                      -1000.0f / 999.0f, 0));
}

TEST(D3dxMath, OrthoOffCenterMapsTheViewportCornersToTheClipCorners) {
    D3DXMATRIX m;
    D3DXMatrixOrthoOffCenterLH(&m, 0.5f, 640.5f, 480.5f, 0.5f, 0.0f, 1.0f);
    D3DXVECTOR3 topLeft(0.5f, 0.5f, 0), bottomRight(640.5f, 480.5f, 1), out;
    D3DXVec3TransformCoord(&out, &topLeft, &m);
    expectVectorNear(out, -1, 1, 0);
    D3DXVec3TransformCoord(&out, &bottomRight, &m);
    expectVectorNear(out, 1, -1, 1);
}

}  // namespace
