#include "svg_path.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace sw::modelgen {
namespace {

bool isSeparator(char c) { return c == ' ' || c == ',' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

class PathReader {
public:
    explicit PathReader(std::string_view d) : m_d(d) {}

    void skipSeparators() {
        while (m_pos < m_d.size() && isSeparator(m_d[m_pos])) ++m_pos;
    }
    bool atEnd() {
        skipSeparators();
        return m_pos >= m_d.size();
    }
    bool atNumber() {
        skipSeparators();
        if (m_pos >= m_d.size()) return false;
        const char c = m_d[m_pos];
        return isDigit(c) || c == '-' || c == '+' || c == '.';
    }
    char command() { return m_d[m_pos++]; }
    size_t position() const { return m_pos; }

    // Reads one number in the SVG grammar; "1.5.5" is two numbers and "1-2" too.
    std::optional<double> number() {
        skipSeparators();
        const size_t start = m_pos;
        size_t p = m_pos;
        if (p < m_d.size() && (m_d[p] == '-' || m_d[p] == '+')) ++p;
        size_t digits = 0;
        while (p < m_d.size() && isDigit(m_d[p])) ++p, ++digits;
        if (p < m_d.size() && m_d[p] == '.') {
            ++p;
            while (p < m_d.size() && isDigit(m_d[p])) ++p, ++digits;
        }
        if (digits == 0) return std::nullopt;
        if (p < m_d.size() && (m_d[p] == 'e' || m_d[p] == 'E')) {
            size_t q = p + 1;
            if (q < m_d.size() && (m_d[q] == '-' || m_d[q] == '+')) ++q;
            if (q < m_d.size() && isDigit(m_d[q])) {
                while (q < m_d.size() && isDigit(m_d[q])) ++q;
                p = q;
            }
        }
        size_t begin = start;
        if (m_d[begin] == '+') ++begin;
        double value = 0;
        const auto [end, ec] = std::from_chars(m_d.data() + begin, m_d.data() + p, value);
        if (ec != std::errc() || end != m_d.data() + p || !(std::fabs(value) <= kMaxCoordinate))
            return std::nullopt;
        m_pos = p;
        return value;
    }

private:
    std::string_view m_d;
    size_t m_pos = 0;
};

Point lerp(Point a, Point b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

Cubic line(Point a, Point b) { return {a, lerp(a, b, 1.0 / 3), lerp(a, b, 2.0 / 3), b}; }

Cubic quadratic(Point a, Point c, Point b) { return {a, lerp(a, c, 2.0 / 3), lerp(b, c, 2.0 / 3), b}; }

Point reflect(Point control, Point about) { return {2 * about.x - control.x, 2 * about.y - control.y}; }

Point evaluate(const Cubic& c, double t) {
    const double u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, d = 3 * u * t * t, e = t * t * t;
    return {a * c.p0.x + b * c.p1.x + d * c.p2.x + e * c.p3.x,
            a * c.p0.y + b * c.p1.y + d * c.p2.y + e * c.p3.y};
}

double distance(Point a, Point b) { return std::hypot(b.x - a.x, b.y - a.y); }

}  // namespace

std::optional<std::vector<Subpath>> parseSvgPath(std::string_view d, std::string* error) {
    PathReader reader(d);
    std::vector<Subpath> subpaths;
    std::vector<Point> starts;  // each subpath's moveto
    Point current, start;
    Point lastCubicControl, lastQuadControl;
    char previous = 0;  // the previous command, upper case, for the smooth-curve reflections
    char command = 0;
    bool open = false;  // a moveto has started the current subpath

    const auto fail = [&](const std::string& what) -> std::optional<std::vector<Subpath>> {
        if (error) *error = what + " at offset " + std::to_string(reader.position());
        return std::nullopt;
    };

    while (!reader.atEnd()) {
        if (!reader.atNumber()) {
            command = reader.command();
        } else if (command == 0) {
            return fail("number before the first command");
        } else if (command == 'M') {
            command = 'L';  // coordinates after a moveto are implicit linetos
        } else if (command == 'm') {
            command = 'l';
        } else if (command == 'Z' || command == 'z') {
            return fail("number after closepath");
        }
        const bool relative = command >= 'a' && command <= 'z';
        const char upper = relative ? static_cast<char>(command - 'a' + 'A') : command;
        const Point origin = relative ? current : Point{};

        std::vector<double> args;
        const auto read = [&](size_t count) {
            for (size_t i = 0; i < count; ++i) {
                const auto v = reader.number();
                if (!v) return false;
                args.push_back(*v);
            }
            return true;
        };
        const auto at = [&](size_t i) { return Point{origin.x + args[i], origin.y + args[i + 1]}; };

        if (upper != 'M' && upper != 'Z' && !open &&
            std::string_view("LHVCSQT").find(upper) != std::string_view::npos)
            return fail("drawing before the first moveto");

        switch (upper) {
            case 'M':
                if (!read(2)) return fail("bad moveto");
                current = start = at(0);
                subpaths.push_back({});
                starts.push_back(start);
                open = true;
                break;
            case 'L':
                if (!read(2)) return fail("bad lineto");
                subpaths.back().push_back(line(current, at(0)));
                current = at(0);
                break;
            case 'H':
            case 'V': {
                if (!read(1)) return fail("bad lineto");
                Point next = current;
                (upper == 'H' ? next.x : next.y) =
                    (relative ? (upper == 'H' ? current.x : current.y) : 0) + args[0];
                subpaths.back().push_back(line(current, next));
                current = next;
                break;
            }
            case 'C':
                if (!read(6)) return fail("bad curveto");
                subpaths.back().push_back({current, at(0), at(2), at(4)});
                lastCubicControl = at(2);
                current = at(4);
                break;
            case 'S': {
                if (!read(4)) return fail("bad smooth curveto");
                const Point c1 =
                    (previous == 'C' || previous == 'S') ? reflect(lastCubicControl, current) : current;
                subpaths.back().push_back({current, c1, at(0), at(2)});
                lastCubicControl = at(0);
                current = at(2);
                break;
            }
            case 'Q':
                if (!read(4)) return fail("bad quadratic curveto");
                subpaths.back().push_back(quadratic(current, at(0), at(2)));
                lastQuadControl = at(0);
                current = at(2);
                break;
            case 'T': {
                if (!read(2)) return fail("bad smooth quadratic curveto");
                const Point c =
                    (previous == 'Q' || previous == 'T') ? reflect(lastQuadControl, current) : current;
                subpaths.back().push_back(quadratic(current, c, at(0)));
                lastQuadControl = c;
                current = at(0);
                break;
            }
            case 'Z':
                if (!open) return fail("closepath before the first moveto");
                if (!(current == start)) subpaths.back().push_back(line(current, start));
                current = start;
                break;
            case 'A':
                return fail("arc commands are not supported");
            default:
                return fail(std::string("unknown command '") + command + "'");
        }
        previous = upper;
    }
    for (size_t i = 0; i < subpaths.size(); ++i) {
        if (subpaths[i].empty()) subpaths[i].push_back(line(starts[i], starts[i]));
    }
    return subpaths;
}

Stroke sampleSubpath(const Subpath& subpath, double spacing) {
    constexpr int kFlattenSteps = 48;
    std::vector<Point> poly;
    for (const Cubic& c : subpath) {
        if (poly.empty()) poly.push_back(c.p0);
        for (int i = 1; i <= kFlattenSteps; ++i) poly.push_back(evaluate(c, double(i) / kFlattenSteps));
    }
    if (poly.empty()) return {};
    std::vector<double> along(poly.size(), 0.0);
    for (size_t i = 1; i < poly.size(); ++i) along[i] = along[i - 1] + distance(poly[i - 1], poly[i]);
    const double length = along.back();
    if (length <= 1e-9) return {poly.front()};

    // An even spacing close to the requested one that ends exactly on the curve's end.
    const double wanted = std::round(length / std::max(spacing, 1e-6));
    const int intervals = static_cast<int>(std::clamp(wanted, 1.0, double(kMaxStrokePoints - 1)));
    Stroke out;
    out.reserve(intervals + 1);
    out.push_back(poly.front());
    size_t seg = 1;
    for (int k = 1; k < intervals; ++k) {
        const double target = length * k / intervals;
        while (seg + 1 < poly.size() && along[seg] < target) ++seg;
        const double span = along[seg] - along[seg - 1];
        const double t = span > 0 ? (target - along[seg - 1]) / span : 0.0;
        out.push_back(lerp(poly[seg - 1], poly[seg], t));
    }
    out.push_back(poly.back());
    return out;
}

}  // namespace sw::modelgen
