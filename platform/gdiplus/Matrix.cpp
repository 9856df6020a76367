#include "platform/gdiplus/GdipObjects.h"

namespace dcs::gdiplus {

void Compose(cairo_matrix_t& m, const cairo_matrix_t& op, MatrixOrder order)
{
    cairo_matrix_t r;
    // cairo_matrix_multiply(r, a, b) applies a first, then b.
    if (order == MatrixOrderAppend)
        cairo_matrix_multiply(&r, &m, &op);
    else
        cairo_matrix_multiply(&r, &op, &m);
    m = r;
}

bool Invertible(const cairo_matrix_t& m)
{
    cairo_matrix_t t = m;
    return cairo_matrix_invert(&t) == CAIRO_STATUS_SUCCESS;
}

namespace {

bool ValidOrder(MatrixOrder o) { return o == MatrixOrderPrepend || o == MatrixOrderAppend; }

Status Apply(GpMatrix* matrix, const cairo_matrix_t& op, MatrixOrder order)
{
    if (!matrix || !ValidOrder(order))
        return InvalidParameter;
    Compose(M(matrix), op, order);
    return Ok;
}

template <class Pt> Status TransformPoints(GpMatrix* matrix, Pt* pts, INT count, bool vector)
{
    if (!matrix || !pts || count <= 0)
        return InvalidParameter;
    for (INT i = 0; i < count; ++i) {
        double x = pts[i].X, y = pts[i].Y;
        if (vector)
            cairo_matrix_transform_distance(&M(matrix), &x, &y);
        else
            cairo_matrix_transform_point(&M(matrix), &x, &y);
        if constexpr (std::is_same_v<Pt, GpPoint>) {
            pts[i].X = INT(std::lround(x));
            pts[i].Y = INT(std::lround(y));
        } else {
            pts[i].X = REAL(x);
            pts[i].Y = REAL(y);
        }
    }
    return Ok;
}

cairo_matrix_t RectToParallelogram(double x, double y, double w, double h, const GpPointF* p)
{
    // Unit square -> parallelogram, after rectangle -> unit square.
    cairo_matrix_t toUnit, toPlg, r;
    cairo_matrix_init(&toUnit, 1 / w, 0, 0, 1 / h, -x / w, -y / h);
    cairo_matrix_init(&toPlg, p[1].X - p[0].X, p[1].Y - p[0].Y, p[2].X - p[0].X, p[2].Y - p[0].Y, p[0].X, p[0].Y);
    cairo_matrix_multiply(&r, &toUnit, &toPlg);
    return r;
}

}  // namespace

Status GdipCreateMatrix(GpMatrix** matrix) { return GdipCreateMatrix2(1, 0, 0, 1, 0, 0, matrix); }

Status GdipCreateMatrix2(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy, GpMatrix** matrix)
{
    if (!matrix || !AllFinite(m11, m12, m21, m22, dx, dy))
        return InvalidParameter;
    auto* m = new GpMatrixImpl;
    m->M = MakeMatrix(m11, m12, m21, m22, dx, dy);
    *matrix = m;
    return Ok;
}

Status GdipCreateMatrix3(const GpRectF* rect, const GpPointF* dstplg, GpMatrix** matrix)
{
    if (!rect || !dstplg || !matrix || !ValidSize(rect->Width, rect->Height))
        return InvalidParameter;
    for (int i = 0; i < 3; ++i)
        if (!AllFinite(dstplg[i].X, dstplg[i].Y, rect->X, rect->Y))
            return InvalidParameter;
    auto* m = new GpMatrixImpl;
    m->M = RectToParallelogram(rect->X, rect->Y, rect->Width, rect->Height, dstplg);
    *matrix = m;
    return Ok;
}

Status GdipCreateMatrix3I(const GpRect* rect, const GpPoint* dstplg, GpMatrix** matrix)
{
    if (!rect || !dstplg)
        return InvalidParameter;
    GpRectF r {REAL(rect->X), REAL(rect->Y), REAL(rect->Width), REAL(rect->Height)};
    GpPointF p[3];
    for (int i = 0; i < 3; ++i)
        p[i] = {REAL(dstplg[i].X), REAL(dstplg[i].Y)};
    return GdipCreateMatrix3(&r, p, matrix);
}

Status GdipCloneMatrix(GpMatrix* matrix, GpMatrix** clone)
{
    if (!matrix || !clone)
        return InvalidParameter;
    auto* m = new GpMatrixImpl;
    m->M = M(matrix);
    *clone = m;
    return Ok;
}

Status GdipDeleteMatrix(GpMatrix* matrix)
{
    if (!matrix)
        return InvalidParameter;
    delete matrix;
    return Ok;
}

Status GdipSetMatrixElements(GpMatrix* matrix, REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy)
{
    if (!matrix || !AllFinite(m11, m12, m21, m22, dx, dy))
        return InvalidParameter;
    M(matrix) = MakeMatrix(m11, m12, m21, m22, dx, dy);
    return Ok;
}

Status GdipGetMatrixElements(const GpMatrix* matrix, REAL* out)
{
    if (!matrix || !out)
        return InvalidParameter;
    const cairo_matrix_t& m = M(matrix);
    out[0] = REAL(m.xx);
    out[1] = REAL(m.yx);
    out[2] = REAL(m.xy);
    out[3] = REAL(m.yy);
    out[4] = REAL(m.x0);
    out[5] = REAL(m.y0);
    return Ok;
}

Status GdipMultiplyMatrix(GpMatrix* matrix, GpMatrix* matrix2, MatrixOrder order)
{
    if (!matrix2)
        return InvalidParameter;
    return Apply(matrix, M(matrix2), order);
}

Status GdipTranslateMatrix(GpMatrix* matrix, REAL offsetX, REAL offsetY, MatrixOrder order)
{
    if (!AllFinite(offsetX, offsetY))
        return InvalidParameter;
    return Apply(matrix, MakeMatrix(1, 0, 0, 1, offsetX, offsetY), order);
}

Status GdipScaleMatrix(GpMatrix* matrix, REAL scaleX, REAL scaleY, MatrixOrder order)
{
    if (!AllFinite(scaleX, scaleY))
        return InvalidParameter;
    return Apply(matrix, MakeMatrix(scaleX, 0, 0, scaleY, 0, 0), order);
}

Status GdipRotateMatrix(GpMatrix* matrix, REAL angle, MatrixOrder order)
{
    if (!Finite(angle))
        return InvalidParameter;
    double a = angle * M_PI / 180, c = std::cos(a), s = std::sin(a);
    return Apply(matrix, MakeMatrix(c, s, -s, c, 0, 0), order);
}

Status GdipShearMatrix(GpMatrix* matrix, REAL shearX, REAL shearY, MatrixOrder order)
{
    if (!AllFinite(shearX, shearY))
        return InvalidParameter;
    return Apply(matrix, MakeMatrix(1, shearY, shearX, 1, 0, 0), order);
}

Status GdipInvertMatrix(GpMatrix* matrix)
{
    if (!matrix)
        return InvalidParameter;
    cairo_matrix_t t = M(matrix);
    if (cairo_matrix_invert(&t) != CAIRO_STATUS_SUCCESS)
        return InvalidParameter;
    M(matrix) = t;
    return Ok;
}

Status GdipTransformMatrixPoints(GpMatrix* matrix, GpPointF* pts, INT count)
{
    return TransformPoints(matrix, pts, count, false);
}

Status GdipTransformMatrixPointsI(GpMatrix* matrix, GpPoint* pts, INT count)
{
    return TransformPoints(matrix, pts, count, false);
}

Status GdipVectorTransformMatrixPoints(GpMatrix* matrix, GpPointF* pts, INT count)
{
    return TransformPoints(matrix, pts, count, true);
}

Status GdipVectorTransformMatrixPointsI(GpMatrix* matrix, GpPoint* pts, INT count)
{
    return TransformPoints(matrix, pts, count, true);
}

Status GdipIsMatrixInvertible(const GpMatrix* matrix, BOOL* result)
{
    if (!matrix || !result)
        return InvalidParameter;
    *result = Invertible(M(matrix));
    return Ok;
}

Status GdipIsMatrixIdentity(const GpMatrix* matrix, BOOL* result)
{
    if (!matrix || !result)
        return InvalidParameter;
    const cairo_matrix_t& m = M(matrix);
    *result = m.xx == 1 && m.yx == 0 && m.xy == 0 && m.yy == 1 && m.x0 == 0 && m.y0 == 0;
    return Ok;
}

Status GdipIsMatrixEqual(const GpMatrix* matrix, const GpMatrix* matrix2, BOOL* result)
{
    if (!matrix || !matrix2 || !result)
        return InvalidParameter;
    const cairo_matrix_t &a = M(matrix), &b = M(matrix2);
    *result = a.xx == b.xx && a.yx == b.yx && a.xy == b.xy && a.yy == b.yy && a.x0 == b.x0 && a.y0 == b.y0;
    return Ok;
}

}  // namespace dcs::gdiplus
