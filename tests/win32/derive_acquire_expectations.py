#!/usr/bin/python3
# Expected Acquire results for a DXF drawing, worked out with ezdxf alone:
# select TEXT and *LINE entities of model space, turn them into line and text
# records, merge the ruling into row and column boundaries (tolerance 0.1) and
# place every text into the cell holding its anchor point.
# With a decoder for MTEXT strings, MTEXT entities are selected too and read
# as texts anchored at their insertion point (the e2e stories import it so).
import fnmatch, re, sys
import ezdxf

def records(path, mtext_visible=None):
    doc = ezdxf.readfile(path)
    selected, lines, texts = 0, [], []
    for e in doc.modelspace():
        t = e.dxftype()
        if not (t == "TEXT" or (t == "MTEXT" and mtext_visible) or fnmatch.fnmatchcase(t, "*LINE")):
            continue
        selected += 1
        if t == "LINE":
            lines.append((tuple(e.dxf.start), tuple(e.dxf.end)))
        elif t == "LWPOLYLINE":
            pts = [(p[0], p[1]) for p in e.get_points("xy")]
            if e.closed and pts:
                pts.append(pts[0])
            for a, b in zip(pts, pts[1:]):
                lines.append(((a[0], a[1], 0.0), (b[0], b[1], 0.0)))
        elif t == "TEXT":
            h, v = e.dxf.get("halign", 0), e.dxf.get("valign", 0)
            code = {(0,0):0,(1,0):1,(2,0):2,(3,0):3,(4,0):4,(5,0):5,(0,3):6,(1,3):7,(2,3):8,(0,2):9,(1,2):10,(2,2):11,(0,1):12,(1,1):13,(2,1):14}.get((h, v), 0)
            base = tuple(e.dxf.insert) if code == 0 else tuple(e.dxf.get("align_point", e.dxf.insert))
            texts.append((base, re.sub(r'\\U\+([0-9A-Fa-f]{4})', lambda m: chr(int(m.group(1), 16)), e.dxf.text), e.dxf.handle.upper()))
        elif t == "MTEXT":
            texts.append((tuple(e.dxf.insert), mtext_visible(e.text), e.dxf.handle.upper()))
    return selected, lines, texts

def bounds(lines, tol=0.1):
    tate = [l[0][0] for l in lines if abs(l[0][0] - l[1][0]) < tol]
    yoko = [l[0][1] for l in lines if not abs(l[0][0] - l[1][0]) < tol and abs(l[0][1] - l[1][1]) < tol]
    def merge(vals, desc):
        if len(vals) < 2: return vals
        vals = sorted(vals, reverse=desc)
        kept = [vals[0]]
        for v in vals[1:]:
            if (kept[-1] - v if desc else v - kept[-1]) > tol: kept.append(v)
        return kept
    return merge(yoko, True), merge(tate, False)

def fill(texts, tate, yoko):
    cells = {}
    for base, s, h in texts:
        x, y = base[0], base[1]
        done = False
        for i in range(len(yoko) - 1):
            for j in range(len(tate) - 1):
                if yoko[i] > y > yoko[i+1] and tate[j] < x < tate[j+1]:
                    cells[(j+1, i+1)] = (s, h); done = True; break
            if done: break
    return cells

def main():
    cpp = sys.argv[1] == "--cpp"
    for path in sys.argv[2 if cpp else 1:]:
        n, lines, texts = records(path)
        yoko, tate = bounds(lines)
        cells = fill(texts, tate, yoko)
        order = sorted(cells.items(), key=lambda kv: (kv[0][1], kv[0][0]))
        if cpp:
            print('{"%s", %d, %d, %d, %d, %d, {' % (path.split("/")[-1], n, len(lines), len(texts), len(yoko), len(tate)))
            for (c, r), (s, h) in order:
                print('  {%d, %d, L"%s", L"%s"},' % (c, r, s.replace("\\", "\\\\").replace('"', '\\"'), h))
            print("}},")
            continue
        print(path.split("/")[-1], "Select =", n, "Line =", len(lines), "Text =", len(texts), "Yoko =", len(yoko), "Tate =", len(tate))
        for (c, r), (s, h) in order:
            print("  cell", c, r, repr(s), h)

if __name__ == "__main__":
    main()
