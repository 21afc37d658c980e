#include "platform/gfx/effect.h"

#include "platform/gfx/gfx_internal.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

enum ParameterType { PARAM_FLOAT, PARAM_VEC3, PARAM_VEC4, PARAM_MAT4, PARAM_TEXTURE };

struct EffectParameter {
    std::string name;    // what the game sets: a uniform, or the texture a sampler reads
    std::string uniform; // the GLSL name
    ParameterType type;
    float value[16] = {};
    GfxTexture* texture = nullptr;
    std::uint64_t stamp = 1;
    int unit = 0;
};

struct EffectProgram {
    std::string vertexShader; // empty: screen vertices
    std::string pixelShader;
    GLuint program = 0;
    std::vector<GLint> locations;        // per parameter
    std::vector<std::uint64_t> uploaded; // the stamp each parameter had when uploaded
};

struct EffectPass {
    int program;
    std::vector<EffectStateChange> states;
};

struct EffectTechnique {
    std::string name;
    std::vector<EffectPass> passes;
    std::vector<std::uint32_t> changedStates;
};

struct Section {
    std::string kind; // "common", "vertex", "pixel"
    std::string name;
    std::string text;
};

} // namespace

struct GfxEffectData {
    std::vector<EffectParameter> parameters;
    std::vector<EffectProgram> programs;
    std::vector<EffectTechnique> techniques;
    int technique = 0;
    int activeProgram = -1;
    bool begun = false;
    std::vector<EffectStateChange> saved;
    std::uint64_t nextStamp = 2;
};

namespace {

std::vector<Section> SplitSections(const char* source) {
    std::vector<Section> sections;
    std::string text = source;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(pos, end - pos);
        if (line.rfind("//@", 0) == 0) {
            Section section;
            const std::string header = line.substr(3);
            const std::size_t space = header.find(' ');
            section.kind = header.substr(0, space);
            if (space != std::string::npos)
                section.name = header.substr(space + 1);
            while (!section.name.empty() &&
                   (section.name.back() == '\r' || section.name.back() == ' '))
                section.name.pop_back();
            sections.push_back(section);
        } else if (!sections.empty()) {
            sections.back().text += line;
            sections.back().text += '\n';
        }
        pos = end + 1;
    }
    return sections;
}

const Section* FindSection(const std::vector<Section>& sections, const char* kind,
                           const char* name) {
    for (const Section& section : sections) {
        if (section.kind == kind && section.name == name)
            return &section;
    }
    return nullptr;
}

// Every "uniform TYPE NAME;" of the common section becomes a parameter.
bool ReadParameters(const std::string& common, const EffectDesc& desc,
                    std::vector<EffectParameter>* parameters, std::string* errors) {
    std::size_t pos = 0;
    int samplerCount = 0;
    while ((pos = common.find("uniform ", pos)) != std::string::npos) {
        pos += 8;
        const std::size_t semicolon = common.find(';', pos);
        if (semicolon == std::string::npos)
            break;
        const std::string declaration = common.substr(pos, semicolon - pos);
        const std::size_t space = declaration.find(' ');
        if (space == std::string::npos)
            continue;
        const std::string type = declaration.substr(0, space);
        std::string name = declaration.substr(space + 1);
        while (!name.empty() && name.front() == ' ')
            name.erase(0, 1);
        EffectParameter parameter;
        parameter.uniform = name;
        parameter.name = name;
        if (type == "float") {
            parameter.type = PARAM_FLOAT;
        } else if (type == "vec3") {
            parameter.type = PARAM_VEC3;
        } else if (type == "vec4") {
            parameter.type = PARAM_VEC4;
        } else if (type == "mat4") {
            parameter.type = PARAM_MAT4;
        } else if (type == "sampler2D") {
            parameter.type = PARAM_TEXTURE;
            parameter.name.clear();
            for (const EffectSamplerDesc& sampler : desc.samplers) {
                if (name == sampler.sampler)
                    parameter.name = sampler.texture;
            }
            if (parameter.name.empty() || samplerCount == EFFECT_UNIT_COUNT) {
                if (errors)
                    *errors += "sampler " + name + " reads no texture parameter\n";
                return false;
            }
            parameter.unit = FIRST_EFFECT_UNIT + samplerCount++;
        } else {
            continue;
        }
        parameters->push_back(parameter);
    }
    return true;
}

int FindParameter(const GfxEffectData* data, const char* name, ParameterType type) {
    if (!name)
        return -1;
    for (std::size_t i = 0; i < data->parameters.size(); ++i) {
        const EffectParameter& p = data->parameters[i];
        if (p.name == name) {
            if (p.type == type || (type == PARAM_VEC4 && p.type == PARAM_VEC3))
                return static_cast<int>(i);
            return -1;
        }
    }
    return -1;
}

int BuildProgram(GfxEffectData* data, const std::vector<Section>& sections,
                 const std::string& common, const EffectPassDesc& pass, std::string* errors) {
    const std::string vsName = pass.vertexShader ? pass.vertexShader : "";
    const std::string psName = pass.pixelShader ? pass.pixelShader : "";
    for (std::size_t i = 0; i < data->programs.size(); ++i) {
        if (data->programs[i].vertexShader == vsName && data->programs[i].pixelShader == psName)
            return static_cast<int>(i);
    }
    const Section* pixel = FindSection(sections, "pixel", psName.c_str());
    const Section* vertex =
        vsName.empty() ? nullptr : FindSection(sections, "vertex", vsName.c_str());
    if (!pixel || (!vsName.empty() && !vertex)) {
        if (errors)
            *errors += "pass " + std::string(pass.name) + " names a shader the source lacks\n";
        return -1;
    }
    const std::string vertexSource =
        vertex ? VertexPreamble() + common + vertex->text + VertexEpilogue() : ScreenVertexShader();
    const std::string pixelSource = PixelPreamble() + common + pixel->text;
    EffectProgram program;
    program.vertexShader = vsName;
    program.pixelShader = psName;
    program.program = LinkProgram(vertexSource, pixelSource, errors);
    if (!program.program)
        return -1;
    UseProgram(program.program);
    for (const EffectParameter& parameter : data->parameters) {
        const GLint location = glGetUniformLocation(program.program, parameter.uniform.c_str());
        program.locations.push_back(location);
        program.uploaded.push_back(0);
        if (parameter.type == PARAM_TEXTURE && location >= 0)
            glUniform1i(location, parameter.unit);
    }
    data->programs.push_back(program);
    return static_cast<int>(data->programs.size()) - 1;
}

void DestroyEffectData(GfxEffectData* data) {
    for (const EffectProgram& program : data->programs) {
        if (g_gfx.gl.program == program.program)
            UseProgram(0);
        glDeleteProgram(program.program);
    }
    delete data;
}

} // namespace

HRESULT CreateEffect(GfxDevice* device, const char* source, const EffectDesc& desc,
                     GfxEffect** effect, std::string* errors) {
    if (!effect)
        return E_FAIL;
    *effect = nullptr;
    if (!device || !source || desc.techniques.empty())
        return E_FAIL;
    const std::vector<Section> sections = SplitSections(source);
    std::string common;
    for (const Section& section : sections) {
        if (section.kind == "common")
            common += section.text;
    }
    auto* data = new GfxEffectData;
    if (!ReadParameters(common, desc, &data->parameters, errors)) {
        DestroyEffectData(data);
        return E_FAIL;
    }
    for (const EffectTechniqueDesc& techniqueDesc : desc.techniques) {
        EffectTechnique technique;
        technique.name = techniqueDesc.name;
        for (const EffectPassDesc& passDesc : techniqueDesc.passes) {
            const int program = BuildProgram(data, sections, common, passDesc, errors);
            if (program < 0) {
                DestroyEffectData(data);
                return E_FAIL;
            }
            EffectPass pass{program, {passDesc.states.begin(), passDesc.states.end()}};
            for (const EffectStateChange& change : passDesc.states) {
                bool known = false;
                for (std::uint32_t state : technique.changedStates)
                    known = known || state == change.state;
                if (!known)
                    technique.changedStates.push_back(change.state);
            }
            technique.passes.push_back(pass);
        }
        data->techniques.push_back(technique);
    }
    *effect = new GfxEffect;
    (*effect)->data = data;
    return S_OK;
}

HRESULT GfxEffect::SetTechnique(const char* name) {
    if (!name)
        return E_FAIL;
    for (std::size_t i = 0; i < data->techniques.size(); ++i) {
        if (data->techniques[i].name == name) {
            data->technique = static_cast<int>(i);
            return S_OK;
        }
    }
    return E_FAIL;
}

HRESULT GfxEffect::SetMatrix(const char* name, const Matrix* matrix) {
    const int index = FindParameter(data, name, PARAM_MAT4);
    if (index < 0 || !matrix)
        return E_FAIL;
    EffectParameter& p = data->parameters[index];
    std::memcpy(p.value, &matrix->m[0][0], sizeof(float) * 16);
    p.stamp = data->nextStamp++;
    return S_OK;
}

HRESULT GfxEffect::SetVector(const char* name, const Vec4* vector) {
    const int index = FindParameter(data, name, PARAM_VEC4);
    if (index < 0 || !vector)
        return E_FAIL;
    EffectParameter& p = data->parameters[index];
    p.value[0] = vector->x;
    p.value[1] = vector->y;
    p.value[2] = vector->z;
    p.value[3] = vector->w;
    p.stamp = data->nextStamp++;
    return S_OK;
}

HRESULT GfxEffect::SetFloat(const char* name, float value) {
    const int index = FindParameter(data, name, PARAM_FLOAT);
    if (index < 0)
        return E_FAIL;
    EffectParameter& p = data->parameters[index];
    p.value[0] = value;
    p.stamp = data->nextStamp++;
    return S_OK;
}

HRESULT GfxEffect::SetTexture(const char* name, GfxTexture* texture) {
    const int index = FindParameter(data, name, PARAM_TEXTURE);
    if (index < 0)
        return E_FAIL;
    data->parameters[index].texture = texture;
    return S_OK;
}

HRESULT GfxEffect::Begin(std::uint32_t* passes, std::uint32_t) {
    if (data->begun)
        return E_FAIL;
    const EffectTechnique& technique = data->techniques[data->technique];
    data->saved.clear();
    for (std::uint32_t state : technique.changedStates) {
        std::uint32_t value = 0;
        g_gfxDevice.GetRenderState(state, &value);
        data->saved.push_back({state, value});
    }
    data->begun = true;
    if (passes)
        *passes = static_cast<std::uint32_t>(technique.passes.size());
    return S_OK;
}

HRESULT GfxEffect::BeginPass(std::uint32_t pass) {
    const EffectTechnique& technique = data->techniques[data->technique];
    if (!data->begun || pass >= technique.passes.size())
        return E_FAIL;
    const EffectPass& chosen = technique.passes[pass];
    for (const EffectStateChange& change : chosen.states)
        g_gfxDevice.SetRenderState(change.state, change.value);
    data->activeProgram = chosen.program;
    g_gfx.effect = data;
    g_gfx.effectProgram = data->programs[chosen.program].program;
    return S_OK;
}

HRESULT GfxEffect::CommitChanges() {
    return data->activeProgram >= 0 ? S_OK : E_FAIL;
}

HRESULT GfxEffect::EndPass() {
    if (data->activeProgram < 0)
        return E_FAIL;
    data->activeProgram = -1;
    if (g_gfx.effect == data)
        g_gfx.effect = nullptr;
    return S_OK;
}

HRESULT GfxEffect::End() {
    if (!data->begun)
        return E_FAIL;
    if (data->activeProgram >= 0)
        EndPass();
    for (const EffectStateChange& change : data->saved)
        g_gfxDevice.SetRenderState(change.state, change.value);
    data->begun = false;
    return S_OK;
}

void GfxEffect::Release() {
    if (g_gfx.effect == data)
        g_gfx.effect = nullptr;
    if (g_gfx.context)
        DestroyEffectData(data);
    else
        delete data;
    delete this;
}

void ApplyEffectParameters(GfxEffectData* data) {
    EffectProgram& program = data->programs[data->activeProgram];
    for (std::size_t i = 0; i < data->parameters.size(); ++i) {
        const GLint location = program.locations[i];
        if (location < 0)
            continue;
        const EffectParameter& p = data->parameters[i];
        if (p.type == PARAM_TEXTURE) {
            BindTextureUnit(p.unit, p.texture ? p.texture->name : g_gfx.whiteTexture);
            continue;
        }
        if (program.uploaded[i] == p.stamp)
            continue;
        program.uploaded[i] = p.stamp;
        switch (p.type) {
        case PARAM_FLOAT:
            glUniform1f(location, p.value[0]);
            break;
        case PARAM_VEC3:
            glUniform3fv(location, 1, p.value);
            break;
        case PARAM_VEC4:
            glUniform4fv(location, 1, p.value);
            break;
        case PARAM_MAT4:
            glUniformMatrix4fv(location, 1, GL_FALSE, p.value);
            break;
        default:
            break;
        }
    }
}
