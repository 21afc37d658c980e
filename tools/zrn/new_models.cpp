// The starter game's three models: a gem for the 3D cursor, the fog box over the map
// and a diamond for the event markers. Triangles are clockwise seen from outside.
#include "new_game.h"

#include <cstdio>

namespace {

struct Vertex {
    double x, y, z, u, v;
};

struct Mesh {
    std::vector<Vertex> vertices;
    std::vector<int> indices;

    // Adds triangle a b c, turned to be clockwise seen from the side outward points to.
    void Triangle(Vertex a, Vertex b, Vertex c, const double* outward) {
        const double e1[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
        const double e2[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
        const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                             e1[0] * e2[1] - e1[1] * e2[0]};
        if (n[0] * outward[0] + n[1] * outward[1] + n[2] * outward[2] < 0)
            std::swap(b, c);
        const int base = static_cast<int>(vertices.size());
        vertices.insert(vertices.end(), {a, b, c});
        indices.insert(indices.end(), {base, base + 1, base + 2});
    }

    // The text of a .3dd file: lines end in CR LF, as the texture key's line must.
    std::vector<std::uint8_t> Text(const char* texture) const {
        std::string text = "1\r\n" + std::to_string(vertices.size()) + "\r\n" +
                           std::to_string(indices.size() / 3) + "\r\n" + texture + "\r\n";
        char line[160];
        for (const Vertex& v : vertices) {
            std::snprintf(line, sizeof line, "%.4f %.4f %.4f %.4f %.4f\r\n", v.x, v.y, v.z, v.u,
                          v.v);
            text += line;
        }
        for (std::size_t i = 0; i < indices.size(); i += 3)
            text += std::to_string(indices[i]) + " " + std::to_string(indices[i + 1]) + " " +
                    std::to_string(indices[i + 2]) + "\r\n";
        return {text.begin(), text.end()};
    }
};

// Eight faces between a top, a bottom and a ring of four points.
Mesh Diamond(double bottom, double middle, double top, double radius) {
    Mesh mesh;
    const Vertex up{0, top, 0, 0.5, 0.1}, down{0, bottom, 0, 0.5, 0.9};
    const Vertex ring[4] = {{radius, middle, 0, 0.9, 0.5},
                            {0, middle, radius, 0.5, 0.5},
                            {-radius, middle, 0, 0.1, 0.5},
                            {0, middle, -radius, 0.5, 0.5}};
    for (int k = 0; k < 4; ++k) {
        const Vertex& a = ring[k];
        const Vertex& b = ring[(k + 1) % 4];
        const double out[3] = {a.x + b.x, 0.5, a.z + b.z};
        const double outDown[3] = {a.x + b.x, -0.5, a.z + b.z};
        mesh.Triangle(up, a, b, out);
        mesh.Triangle(down, a, b, outDown);
    }
    return mesh;
}

// The fog lies in this box; the game scales it by (24, 64, 24), so it covers the map's
// 32 x 32 world units and a border of 2.
Mesh FogBox() {
    Mesh mesh;
    const double lo[3] = {-2.0 / 24, -0.5 / 64, -2.0 / 24},
                 hi[3] = {34.0 / 24, 1.6 / 64, 34.0 / 24};
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = 0; side < 2; ++side) {
            double out[3] = {0, 0, 0};
            out[axis] = side ? 1 : -1;
            Vertex corner[4];
            const int a = (axis + 1) % 3, b = (axis + 2) % 3;
            const int steps[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (int k = 0; k < 4; ++k) {
                double p[3];
                p[axis] = side ? hi[axis] : lo[axis];
                p[a] = steps[k][0] ? hi[a] : lo[a];
                p[b] = steps[k][1] ? hi[b] : lo[b];
                corner[k] = {p[0], p[1], p[2], 0.5, 0.5};
            }
            mesh.Triangle(corner[0], corner[1], corner[2], out);
            mesh.Triangle(corner[0], corner[2], corner[3], out);
        }
    }
    return mesh;
}

} // namespace

void AddNewGameModels(NewGameFiles* files) {
    files->push_back({"X/cursor.3dd", Diamond(0.18, 0.42, 0.62, 0.16).Text("./X/arrow.bmp")});
    files->push_back({"X/space.3dd", FogBox().Text("./X/mist.bmp")});
    files->push_back({"X/question.3dd", Diamond(0.3, 0.7, 1.1, 0.25).Text("./X/question.bmp")});
}
