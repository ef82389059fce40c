// Blinn-Phong lighting of one point of a surface. Light kinds: 0 ambient,
// 1 directional, 2 point, 3 spot. Vectors are in view space.
struct Light
{
    int type;
    vec3 position;
    vec3 direction;
    vec3 ambient;
    vec3 diffuse;
    vec3 specular;
    float constantAttenuation;
    float linearAttenuation;
    float quadraticAttenuation;
    float spotCutoff;      // cosine of the cone's half angle
    float spotExponent;
};

struct Material
{
    vec3 ambient;
    vec3 diffuse;
    vec3 specular;
    vec3 emission;
    float shininess;
};

vec3 lightContribution(Light light, Material material, vec3 position, vec3 normal, bool specular, bool toon)
{
    if (light.type == 0)
        return light.ambient * material.ambient;

    vec3 toLight;
    float attenuation = 1.0;
    if (light.type == 1) {
        toLight = normalize(-light.direction);
    } else {
        vec3 offset = light.position - position;
        float distance = length(offset);
        toLight = offset / max(distance, 1e-6);
        attenuation = 1.0 / max(light.constantAttenuation + light.linearAttenuation * distance
                                    + light.quadraticAttenuation * distance * distance, 1e-6);
        if (light.type == 3) {
            float cosine = dot(-toLight, normalize(light.direction));
            attenuation *= cosine < light.spotCutoff ? 0.0 : pow(cosine, light.spotExponent);
        }
    }

    float diffuse = max(dot(normal, toLight), 0.0);
    if (toon)
        diffuse = floor(diffuse * 4.0) / 4.0;
    vec3 color = light.ambient * material.ambient + diffuse * light.diffuse * material.diffuse;
    if (specular && diffuse > 0.0) {
        vec3 halfway = normalize(toLight + normalize(-position));
        color += pow(max(dot(normal, halfway), 0.0), material.shininess) * light.specular * material.specular;
    }
    return attenuation * color;
}
