#include "platform/gdiplus/GdipObjects.h"

namespace dcs::gdiplus {
namespace {

bool ValidCap(LineCap c)
{
    return (c >= LineCapFlat && c <= LineCapTriangle) || (c >= LineCapNoAnchor && c <= LineCapArrowAnchor) ||
        c == LineCapCustom;
}

Status Make(GpBrush* brush, REAL width, GpUnit unit, GpPen** pen)
{
    auto* p = new GpPenImpl;
    p->Brush = brush;
    p->Width = width;
    p->Unit = unit;
    *pen = p;
    return Ok;
}

bool ValidWidth(REAL w) { return Finite(w) && w >= 0; }

}  // namespace

GpPenImpl::~GpPenImpl() { delete Brush; }

Status GdipCreatePen1(ARGB color, REAL width, GpUnit unit, GpPen** pen)
{
    if (!pen || !ValidWidth(width) || unit == UnitDisplay || unit < UnitWorld || unit > UnitMillimeter)
        return InvalidParameter;
    GpSolidFill* fill = nullptr;
    GdipCreateSolidFill(color, &fill);
    return Make(fill, width, unit, pen);
}

Status GdipCreatePen2(GpBrush* brush, REAL width, GpUnit unit, GpPen** pen)
{
    TBrushImpl* b = Impl(brush);
    if (!b || !pen || !ValidWidth(width) || unit == UnitDisplay || unit < UnitWorld || unit > UnitMillimeter)
        return InvalidParameter;
    return Make(b->Clone(), width, unit, pen);
}

Status GdipClonePen(GpPen* pen, GpPen** clone)
{
    if (!pen || !clone)
        return InvalidParameter;
    auto* c = new GpPenImpl(*Pn(pen));
    c->Brush = Impl(Pn(pen)->Brush)->Clone();
    *clone = c;
    return Ok;
}

Status GdipDeletePen(GpPen* pen)
{
    if (!pen)
        return InvalidParameter;
    delete pen;
    return Ok;
}

Status GdipSetPenWidth(GpPen* pen, REAL width)
{
    if (!pen || !ValidWidth(width))
        return InvalidParameter;
    Pn(pen)->Width = width;
    return Ok;
}

Status GdipGetPenWidth(GpPen* pen, REAL* width)
{
    if (!pen || !width)
        return InvalidParameter;
    *width = Pn(pen)->Width;
    return Ok;
}

Status GdipSetPenColor(GpPen* pen, ARGB argb)
{
    if (!pen)
        return InvalidParameter;
    GpSolidFill* fill = nullptr;
    GdipCreateSolidFill(argb, &fill);
    delete Pn(pen)->Brush;
    Pn(pen)->Brush = fill;
    return Ok;
}

Status GdipGetPenColor(GpPen* pen, ARGB* argb)
{
    if (!pen || !argb || !Impl(Pn(pen)->Brush)->SolidColor(argb))
        return InvalidParameter;
    return Ok;
}

Status GdipSetPenBrushFill(GpPen* pen, GpBrush* brush)
{
    TBrushImpl* b = Impl(brush);
    if (!pen || !b)
        return InvalidParameter;
    GpBrush* copy = b->Clone();
    delete Pn(pen)->Brush;
    Pn(pen)->Brush = copy;
    return Ok;
}

Status GdipGetPenBrushFill(GpPen* pen, GpBrush** brush)
{
    if (!pen || !brush)
        return InvalidParameter;
    *brush = Impl(Pn(pen)->Brush)->Clone();
    return Ok;
}

Status GdipGetPenFillType(GpPen* pen, PenType* type)
{
    if (!pen || !type)
        return InvalidParameter;
    *type = PenType(Impl(Pn(pen)->Brush)->Type());
    return Ok;
}

Status GdipSetPenDashStyle(GpPen* pen, DashStyle dashstyle)
{
    if (!pen || dashstyle < DashStyleSolid || dashstyle > DashStyleCustom)
        return InvalidParameter;
    Pn(pen)->Dash = dashstyle;
    return Ok;
}

Status GdipGetPenDashStyle(GpPen* pen, DashStyle* dashstyle)
{
    if (!pen || !dashstyle)
        return InvalidParameter;
    *dashstyle = Pn(pen)->Dash;
    return Ok;
}

Status GdipSetPenDashArray(GpPen* pen, const REAL* dash, INT count)
{
    if (!pen || !dash || count <= 0)
        return InvalidParameter;
    for (INT i = 0; i < count; ++i)
        if (!Finite(dash[i]) || dash[i] <= 0)
            return InvalidParameter;
    Pn(pen)->CustomDash.assign(dash, dash + count);
    Pn(pen)->Dash = DashStyleCustom;
    return Ok;
}

Status GdipSetPenDashOffset(GpPen* pen, REAL offset)
{
    if (!pen || !Finite(offset))
        return InvalidParameter;
    Pn(pen)->DashOffset = offset;
    return Ok;
}

Status GdipSetPenStartCap(GpPen* pen, LineCap startCap)
{
    if (!pen || !ValidCap(startCap))
        return InvalidParameter;
    Pn(pen)->StartCap = startCap;
    return Ok;
}

Status GdipSetPenEndCap(GpPen* pen, LineCap endCap)
{
    if (!pen || !ValidCap(endCap))
        return InvalidParameter;
    Pn(pen)->EndCap = endCap;
    return Ok;
}

Status GdipGetPenStartCap(GpPen* pen, LineCap* startCap)
{
    if (!pen || !startCap)
        return InvalidParameter;
    *startCap = Pn(pen)->StartCap;
    return Ok;
}

Status GdipGetPenEndCap(GpPen* pen, LineCap* endCap)
{
    if (!pen || !endCap)
        return InvalidParameter;
    *endCap = Pn(pen)->EndCap;
    return Ok;
}

Status GdipSetPenLineCap197819(GpPen* pen, LineCap startCap, LineCap endCap, INT)
{
    if (!pen || !ValidCap(startCap) || !ValidCap(endCap))
        return InvalidParameter;
    Pn(pen)->StartCap = startCap;
    Pn(pen)->EndCap = endCap;
    return Ok;
}

Status GdipSetPenLineJoin(GpPen* pen, LineJoin lineJoin)
{
    if (!pen || lineJoin < LineJoinMiter || lineJoin > LineJoinMiterClipped)
        return InvalidParameter;
    Pn(pen)->Join = lineJoin;
    return Ok;
}

Status GdipGetPenLineJoin(GpPen* pen, LineJoin* lineJoin)
{
    if (!pen || !lineJoin)
        return InvalidParameter;
    *lineJoin = Pn(pen)->Join;
    return Ok;
}

Status GdipSetPenMiterLimit(GpPen* pen, REAL miterLimit)
{
    if (!pen || !Finite(miterLimit))
        return InvalidParameter;
    Pn(pen)->MiterLimit = std::max(1.0f, miterLimit);
    return Ok;
}

}  // namespace dcs::gdiplus
