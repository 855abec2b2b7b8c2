#!/usr/bin/python3
"""Writes the DXF fixtures of the text conversion tests (python3-ezdxf, CR LF line ends)."""
import os
import ezdxf

HERE = os.path.dirname(os.path.abspath(__file__))


def crlf(path):
    with open(path, "rb") as f:
        data = f.read()
    with open(path, "wb") as f:
        f.write(data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n"))


def drawing(version, codepage=None):
    doc = ezdxf.new(version)
    if codepage:
        doc.encoding = codepage
    block = doc.blocks.new(name="TITLE")
    block.add_text("block abc", dxfattribs={"height": 2.5})
    block.add_mtext("block mtext abc")
    block.add_attdef("TAG", text="attdef abc")
    msp = doc.modelspace()
    msp.add_text("plain abc", dxfattribs={"height": 2.5})
    msp.add_text("centred abc", dxfattribs={"height": 2.5, "valign": 2, "halign": 1})
    msp.add_mtext("mtext abc\\Pline two", dxfattribs={"char_height": 2.5})
    msp.add_mtext("long abc " + "x" * 600, dxfattribs={"char_height": 2.5})
    insert = msp.add_blockref("TITLE", (0, 0))
    insert.add_attrib("TAG", "attrib abc")
    msp.add_linear_dim(base=(0, 5), p1=(0, 0), p2=(10, 0), text="dim abc").render()
    return doc, msp


def main():
    doc, msp = drawing("R2004", "cp932")
    msp.add_text("図面 abc ｶﾀｶﾅ", dxfattribs={"height": 2.5})
    path = os.path.join(HERE, "text_r2004.dxf")
    doc.saveas(path)
    crlf(path)

    doc, msp = drawing("R2007")
    msp.add_text("図面名称 abc", dxfattribs={"height": 2.5})
    msp.add_mtext("日本語の abc 文章", dxfattribs={"char_height": 2.5})
    path = os.path.join(HERE, "text_r2007.dxf")
    doc.saveas(path)
    crlf(path)

    for version, name in (("R12", "text_r12.dxf"), ("R2000", "text_r2000.dxf")):
        doc = ezdxf.new(version)
        doc.modelspace().add_text("abc")
        path = os.path.join(HERE, name)
        doc.saveas(path)
        crlf(path)


if __name__ == "__main__":
    main()
